# The desktop audio back end: sound effects and music through SDL2_mixer (linked through PkgConfig::SDL2).
target_sources(zuvela_desktop PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/sdl_audio.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sdl_sound_chime.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sdl_sound_effects.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sdl_music.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sdl_music_smf.cpp
)
