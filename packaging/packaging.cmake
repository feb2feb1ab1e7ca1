# Installation layout, desktop integration and the Debian package.
#
# <prefix>/lib/zuvela holds the program with its asset folders beside it, as the program expects to find
# them; <prefix>/bin/zuvela points there. The desktop entry, metainfo and icons go where desktops look.

set(ZUVELA_RELEASE_DATE "2026-12-09")
set(_pkg ${PROJECT_SOURCE_DIR}/packaging)
set(_pkg_out ${PROJECT_BINARY_DIR}/packaging)

# appstream wants the screenshot on the product's site, not in the package.
string(REGEX REPLACE "/+$" "" ZUVELA_PRODUCT_SITE "${ZUVELA_PRODUCT_URL}")
configure_file(${_pkg}/app.desktop.in ${_pkg_out}/${ZUVELA_APP_ID}.desktop @ONLY)
configure_file(${_pkg}/app.metainfo.xml.in ${_pkg_out}/${ZUVELA_APP_ID}.metainfo.xml @ONLY)

# Debian wants documentation compressed with the file name and time stamp left out.
foreach(_doc changelog zuvela.1)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_pkg}/${_doc})
  execute_process(COMMAND gzip -9 -n -c ${_pkg}/${_doc} OUTPUT_FILE ${_pkg_out}/${_doc}.gz
                  RESULT_VARIABLE _gzip_result)
  if(NOT _gzip_result EQUAL 0)
    message(FATAL_ERROR "gzip failed on packaging/${_doc}")
  endif()
endforeach()

set(_app_dir lib/zuvela)
install(TARGETS zuvela RUNTIME DESTINATION ${_app_dir})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/assets/PICTURE ${PROJECT_SOURCE_DIR}/assets/SOUND
                  ${PROJECT_SOURCE_DIR}/assets/MUSIC
        DESTINATION ${_app_dir})
install(CODE "
  set(_bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
  file(MAKE_DIRECTORY \"\${_bin}\")
  file(REMOVE \"\${_bin}/zuvela\")
  file(CREATE_LINK ../${_app_dir}/zuvela \"\${_bin}/zuvela\" SYMBOLIC)
  message(STATUS \"Installing: \${_bin}/zuvela -> ../${_app_dir}/zuvela\")
")
install(FILES ${_pkg_out}/${ZUVELA_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${_pkg_out}/${ZUVELA_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/res/icons/hicolor DESTINATION share/icons)
install(FILES ${_pkg}/copyright ${_pkg_out}/changelog.gz DESTINATION share/doc/zuvela)
install(FILES ${_pkg_out}/zuvela.1.gz DESTINATION share/man/man1)

# Packaging needs only the program: cpack must not wait for (or fail on) the tests and benchmarks.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zuvela)
set(CPACK_PACKAGE_VENDOR "Quillmar Studio")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "colouring book for children from three to seven")
set(CPACK_PACKAGE_DESCRIPTION
    "Tindora - Zuvela 2 is a full-screen colouring book for small children.
The child picks one of 25 outline pictures and one of twelve colours, floods
areas with the paint bucket or draws with the pencil. Every colour says its
name. There is nothing to configure and nothing is saved.")
set(CPACK_PACKAGE_CONTACT "Zuvela maintainers <packages@zuvela.example>")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${ZUVELA_PRODUCT_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The music plays through SDL_mixer's own Timidity with the freepats instruments (/etc/timidity/freepats.cfg);
# the web links need a browser opener.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils, freepats")
# The spoken names in every language are most of the package: xz keeps the download small.
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)

if(ZUVELA_TESTS AND ZUVELA_PROGRAM_TESTS)
  add_test(NAME Packaging.DebianPackageInstallsRunsAndPurges
           COMMAND ${PROJECT_SOURCE_DIR}/tests/packaging/package_test.sh ${PROJECT_BINARY_DIR}
                   ${PROJECT_BINARY_DIR}/packaging-test)
  set_tests_properties(Packaging.DebianPackageInstallsRunsAndPurges PROPERTIES
                       TIMEOUT 900 RUN_SERIAL TRUE SKIP_RETURN_CODE 77)
endif()
