# The printer on CUPS and cairo, and the safe file replacement used for the snapshot. Included from
# src/CMakeLists.txt right after zuvela_desktop is defined.

# libcups: its pkg-config file where the distribution ships one (Debian 12 ships only cups-config), else
# CMake's own FindCups.
pkg_check_modules(ZUVELA_LIBCUPS QUIET IMPORTED_TARGET cups)
if(ZUVELA_LIBCUPS_FOUND)
  set(ZUVELA_CUPS_TARGET PkgConfig::ZUVELA_LIBCUPS)
else()
  find_package(Cups 2.2 REQUIRED)
  set(ZUVELA_CUPS_TARGET Cups::Cups)
endif()
pkg_check_modules(ZUVELA_CAIRO REQUIRED IMPORTED_TARGET cairo)

target_sources(zuvela_desktop PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/cups_printer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../desktop/atomic_file.cpp)
target_link_libraries(zuvela_desktop PUBLIC ${ZUVELA_CUPS_TARGET} PkgConfig::ZUVELA_CAIRO Threads::Threads)
