# The program in a headless Wayland session, with a test keyboard and mouse on the compositor's virtual-input
# protocols. Included from tests/CMakeLists.txt.
find_package(PkgConfig REQUIRED)
pkg_check_modules(ZUVELA_WAYLAND_CLIENT IMPORTED_TARGET wayland-client xkbcommon)
find_program(ZUVELA_WAYLAND_SCANNER wayland-scanner)
if(NOT ZUVELA_WAYLAND_CLIENT_FOUND OR NOT ZUVELA_WAYLAND_SCANNER)
  message(STATUS "Wayland session test: wayland-client, xkbcommon or wayland-scanner missing; not built")
  return()
endif()
enable_language(C)

set(vinput_generated ${CMAKE_CURRENT_BINARY_DIR}/wayland)
set(vinput_sources ${CMAKE_CURRENT_SOURCE_DIR}/wayland/vinput.c)
foreach(protocol virtual-keyboard-unstable-v1 wlr-virtual-pointer-unstable-v1)
  set(xml ${CMAKE_CURRENT_SOURCE_DIR}/wayland/${protocol}.xml)
  add_custom_command(
    OUTPUT ${vinput_generated}/${protocol}-client-protocol.h ${vinput_generated}/${protocol}-protocol.c
    COMMAND ${CMAKE_COMMAND} -E make_directory ${vinput_generated}
    COMMAND ${ZUVELA_WAYLAND_SCANNER} client-header ${xml} ${vinput_generated}/${protocol}-client-protocol.h
    COMMAND ${ZUVELA_WAYLAND_SCANNER} private-code ${xml} ${vinput_generated}/${protocol}-protocol.c
    DEPENDS ${xml})
  list(APPEND vinput_sources ${vinput_generated}/${protocol}-client-protocol.h ${vinput_generated}/${protocol}-protocol.c)
endforeach()
add_executable(zuvela-vinput ${vinput_sources})
target_include_directories(zuvela-vinput PRIVATE ${vinput_generated})
target_link_libraries(zuvela-vinput PRIVATE PkgConfig::ZUVELA_WAYLAND_CLIENT)

add_test(NAME Wayland.Scenarios
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/wayland/run_wayland.sh $<TARGET_FILE:zuvela> $<TARGET_FILE:zuvela-vinput>
                 ${CMAKE_CURRENT_BINARY_DIR}/wayland-out)
set_tests_properties(Wayland.Scenarios PROPERTIES TIMEOUT 300 LABELS e2e COST 60 SKIP_RETURN_CODE 77)
