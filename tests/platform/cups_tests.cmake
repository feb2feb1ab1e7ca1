# Tests of the CUPS printer and of the safe file replacement. Included from tests/CMakeLists.txt.

# The snapshot write: plain unit tests on a scratch folder.
add_executable(zuvela_atomic_file_tests platform/atomic_file_test.cpp)
target_link_libraries(zuvela_atomic_file_tests PRIVATE zuvela_desktop GTest::gtest_main)
gtest_discover_tests(zuvela_atomic_file_tests DISCOVERY_TIMEOUT 60)

# The printer against a real, private cupsd: one ctest that starts the server, runs every test of the binary
# with CUPS_SERVER pointing at it, and stops it. The pages (PDF and PNG) and the server's logs are kept in
# tests/cups-printer/ of the build tree.
add_executable(zuvela_cups_printer_tests platform/cups_printer_fixture.cpp platform/cups_page_layout_test.cpp
                                         platform/cups_print_jobs_test.cpp platform/cups_printer_failures_test.cpp)
target_link_libraries(zuvela_cups_printer_tests PRIVATE zuvela_desktop GTest::gtest_main)
add_test(NAME CupsPrinter.AgainstAPrivateCupsd
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/platform/cups_run_tests.sh
                 $<TARGET_FILE:zuvela_cups_printer_tests> ${CMAKE_CURRENT_BINARY_DIR}/cups-printer)
set_tests_properties(CupsPrinter.AgainstAPrivateCupsd PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
