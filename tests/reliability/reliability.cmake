# Damaged installations through the real picture decoder, and a long run of random input on the fake platform.
add_executable(zuvela_soak_tests reliability/soak_test.cpp)
target_link_libraries(zuvela_soak_tests PRIVATE zuvela_fake GTest::gtest_main)
target_include_directories(zuvela_soak_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(zuvela_soak_tests PRIVATE ZUVELA_ASSET_DIR="${PROJECT_SOURCE_DIR}/assets")
gtest_discover_tests(zuvela_soak_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 900 COST 100)

add_executable(zuvela_damaged_install_tests reliability/damaged_install_test.cpp)
target_link_libraries(zuvela_damaged_install_tests PRIVATE zuvela_fake zuvela_desktop GTest::gtest_main)
target_include_directories(zuvela_damaged_install_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(zuvela_damaged_install_tests PRIVATE ZUVELA_ASSET_DIR="${PROJECT_SOURCE_DIR}/assets")
gtest_discover_tests(zuvela_damaged_install_tests DISCOVERY_TIMEOUT 60
                     PROPERTIES TIMEOUT 900 COST 40 ENVIRONMENT "SDL_AUDIODRIVER=dummy;SDL_VIDEODRIVER=offscreen")
