# What a system install adds to the bundle (the manual page, the AppStream metainfo and the
# Debian documentation files), and the Debian package `cpack -G DEB` makes of the installed tree:
# vantorel_<version>_<arch>.deb, installing under /usr. Its version is the project's, the one
# `vantorel --version` prints; its dependencies are computed from the linked libraries.

# Debian wants manual pages and changelogs compressed, without a time stamp in the gzip header.
find_program(VANTOREL_GZIP gzip REQUIRED)
function(vantorel_gzip source output)
  add_custom_command(OUTPUT ${output}
                     COMMAND ${VANTOREL_GZIP} -9nc ${source} > ${output}
                     DEPENDS ${source}
                     COMMENT "Compressing ${output}")
endfunction()

set(VANTOREL_DOC_BUILD_DIR ${CMAKE_BINARY_DIR}/doc)
file(MAKE_DIRECTORY ${VANTOREL_DOC_BUILD_DIR})
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in ${VANTOREL_DOC_BUILD_DIR}/changelog
               @ONLY)
vantorel_gzip(${PROJECT_SOURCE_DIR}/data/vantorel.1 ${VANTOREL_DOC_BUILD_DIR}/vantorel.1.gz)
vantorel_gzip(${VANTOREL_DOC_BUILD_DIR}/changelog ${VANTOREL_DOC_BUILD_DIR}/changelog.gz)
add_custom_target(vantorel_docs ALL DEPENDS ${VANTOREL_DOC_BUILD_DIR}/vantorel.1.gz
                                            ${VANTOREL_DOC_BUILD_DIR}/changelog.gz)

install(FILES ${VANTOREL_DOC_BUILD_DIR}/vantorel.1.gz DESTINATION share/man/man1)
install(FILES ${PROJECT_SOURCE_DIR}/data/io.github.vantorel.vantorel.metainfo.xml DESTINATION share/metainfo)
install(FILES ${VANTOREL_DOC_BUILD_DIR}/changelog.gz ${CMAKE_CURRENT_LIST_DIR}/debian/copyright
        DESTINATION share/doc/vantorel)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/lintian-overrides DESTINATION share/lintian/overrides
        RENAME vantorel)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantorel)
set(CPACK_PACKAGE_VENDOR "The Vantorel developers")
set(CPACK_PACKAGE_CONTACT "Vantorel maintainers <maintainers@users.noreply.c-seed-9af658dc.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "status-area monitor for RP2350 and ESP32-C6 boards on USB")
# The extended description; the summary above is its first line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Vantorel watches USB for an RP2350 and an ESP32-C6 development board and
shows the wanted and the observed board state in the desktop's status area,
or in the terminal without a display. A flashing script asks the user for
help through it (Board action needed) and reports successes, with the
vantorel ask, done, clear, status and wait commands.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The one dependency no linked library reveals: gdk-pixbuf loads its SVG reader as a plug-in, and
# every icon of the program is an SVG.
set(CPACK_DEBIAN_PACKAGE_DEPENDS librsvg2-common)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
