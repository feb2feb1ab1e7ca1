# The audio back end against the real SDL2_mixer. The recorded tests choose SDL's disk audio driver themselves,
# each with a file of its own, and time what it records; they need no sound card.
add_executable(zuvela_audio_tests
  ${CMAKE_CURRENT_LIST_DIR}/sdl_audio_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sdl_music_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sdl_audio_units_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sdl_file_readers_test.cpp
)
target_link_libraries(zuvela_audio_tests PRIVATE zuvela_desktop GTest::gtest_main)
target_include_directories(zuvela_audio_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(zuvela_audio_tests PRIVATE ZUVELA_ASSET_DIR="${PROJECT_SOURCE_DIR}/assets")
# They run alone (about 20 s in all): beside other tests the disk driver's thread falls behind and what was
# recorded drifts from the clock the tests compare it with.
gtest_discover_tests(zuvela_audio_tests DISCOVERY_TIMEOUT 60
                     PROPERTIES ENVIRONMENT "SDL_AUDIODRIVER=disk" RESOURCE_LOCK zuvela_audio_timing RUN_SERIAL TRUE)
