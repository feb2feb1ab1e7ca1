# The X11 keyboard lock against a private Xvfb that the test executable starts itself, and what it grabs worked
# out without one. Included from tests/CMakeLists.txt, so CMAKE_CURRENT_SOURCE_DIR is tests/.

pkg_check_modules(ZUVELA_XTST QUIET IMPORTED_TARGET xtst)
if(ZUVELA_XTST_FOUND)
  add_executable(zuvela_x11_tests ${CMAKE_CURRENT_SOURCE_DIR}/platform/x11_key_lock_test.cpp
                                  ${CMAKE_CURRENT_SOURCE_DIR}/platform/x11_key_lock_release_test.cpp
                                  ${CMAKE_CURRENT_SOURCE_DIR}/platform/x11_grab_plan_test.cpp)
  target_link_libraries(zuvela_x11_tests PRIVATE zuvela_desktop PkgConfig::ZUVELA_XTST GTest::gtest_main Threads::Threads)
  # Each test starts its own Xvfb on a display number Xvfb picks, so they may run side by side.
  gtest_discover_tests(zuvela_x11_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
else()
  # Not skipped quietly: the lock's tests need XTest to fake keys.
  add_test(NAME X11KeyLock.NeedsLibXtst
           COMMAND ${CMAKE_COMMAND} -E echo "libxtst-dev is missing (scripts/install-deps.sh installs it)")
  set_tests_properties(X11KeyLock.NeedsLibXtst PROPERTIES WILL_FAIL TRUE)
endif()
