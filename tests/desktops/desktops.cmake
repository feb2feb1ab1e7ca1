# The program in GNOME Shell's and kwin's own headless Wayland sessions. They take minutes and need the desktops'
# packages (ZUVELA_DESKTOP_TESTS=1 scripts/install-deps.sh), so they are tests only when asked for, by this
# option or by the environment variable of the same name when the build is configured. Included from
# tests/CMakeLists.txt.
if(DEFINED ENV{ZUVELA_DESKTOP_TESTS} AND "$ENV{ZUVELA_DESKTOP_TESTS}")
  set(_desktop_tests_default ON)
else()
  set(_desktop_tests_default OFF)
endif()
option(ZUVELA_DESKTOP_TESTS "Run the program in GNOME Shell and kwin sessions" ${_desktop_tests_default})
if(NOT ZUVELA_DESKTOP_TESTS)
  return()
endif()

find_package(PkgConfig REQUIRED)
pkg_check_modules(ZUVELA_DESKTOP_WAYLAND IMPORTED_TARGET wayland-client)
if(NOT ZUVELA_DESKTOP_WAYLAND_FOUND)
  message(STATUS "Desktop session tests: wayland-client missing; not built")
  return()
endif()
enable_language(C)
add_executable(zuvela-fake-input ${CMAKE_CURRENT_SOURCE_DIR}/desktops/fake_input.c)
target_link_libraries(zuvela-fake-input PRIVATE PkgConfig::ZUVELA_DESKTOP_WAYLAND)

add_test(NAME Desktops.Gnome
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/desktops/run_gnome.sh $<TARGET_FILE:zuvela>
                 ${CMAKE_CURRENT_BINARY_DIR}/desktops-out/gnome)
add_test(NAME Desktops.Kwin
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/desktops/run_kwin.sh $<TARGET_FILE:zuvela>
                 $<TARGET_FILE:zuvela-fake-input> ${CMAKE_CURRENT_BINARY_DIR}/desktops-out/kwin)
# Each desktop is a heavy process tree of its own: one at a time on a small machine.
set_tests_properties(Desktops.Gnome Desktops.Kwin PROPERTIES TIMEOUT 400 LABELS "e2e;desktops" COST 80
                     SKIP_RETURN_CODE 77 RESOURCE_LOCK zuvela_desktop_session)
