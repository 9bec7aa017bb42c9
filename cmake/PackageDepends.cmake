# Read by cpack as it packs the Debian package (CPACK_PROJECT_CONFIG_FILE), once the reader is
# built: the package's Depends are what dpkg-shlibdeps finds the reader and its control library
# need, before those cmake/Packaging.cmake names (CPACK_DEBIAN_PACKAGE_DEPENDS).
#
# cpack's own dpkg-shlibdeps run (CPACK_DEBIAN_PACKAGE_SHLIBDEPS) is left off: whenever it runs,
# a shared library anywhere under /usr/lib makes cpack write a postinst and a postrm that call
# ldconfig, and CMake has no switch against it. The control library lies in lib/qm-textlumo,
# which the dynamic linker never searches, so ldconfig has nothing to do there.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
file(STRINGS "${CPACK_READER_BINARIES_FILE}" binaries)
set(work "${CPACK_READER_SHLIBDEPS_DIR}")
# dpkg-shlibdeps works in a source tree: it wants a debian/control, which may be empty.
file(WRITE "${work}/debian/control" "")
execute_process(COMMAND dpkg-shlibdeps -O --ignore-missing-info ${binaries}
                WORKING_DIRECTORY "${work}" RESULT_VARIABLE result
                OUTPUT_VARIABLE output ERROR_VARIABLE errors OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT result EQUAL 0 OR NOT output MATCHES "^shlibs:Depends=(.+)$")
  message(FATAL_ERROR "dpkg-shlibdeps on ${binaries} failed (${result}):\n${output}\n${errors}")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CMAKE_MATCH_1}, ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
