# The keyboard lock: its pure decision goes into the platform-free core, the X11 back end into the desktop
# library. Included from src/CMakeLists.txt, so CMAKE_CURRENT_SOURCE_DIR is src/.
target_sources(zuvela_core PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/shell/lock_keys.cpp)

pkg_check_modules(ZUVELA_X11 REQUIRED IMPORTED_TARGET x11)
target_sources(zuvela_desktop PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/platform/x11/x11_key_lock.cpp)
target_link_libraries(zuvela_desktop PUBLIC PkgConfig::ZUVELA_X11)
target_sources(zuvela_desktop PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/platform/x11/x11_connection_loss.cpp)
