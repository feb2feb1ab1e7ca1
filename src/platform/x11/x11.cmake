# The desktop-wide keyboard lock on X11. Included from src/CMakeLists.txt, so CMAKE_CURRENT_SOURCE_DIR is src/.

pkg_check_modules(ZUVELA_X11 REQUIRED IMPORTED_TARGET x11)
target_sources(zuvela_desktop PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/platform/x11/x11_key_lock.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/platform/x11/x11_key_codes.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/platform/x11/x11_grab_plan.cpp
)
target_link_libraries(zuvela_desktop PUBLIC PkgConfig::ZUVELA_X11)
