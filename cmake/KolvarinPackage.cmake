# The Debian package (scripts/package.sh runs cpack). Its dependencies are
# found by dpkg-shlibdeps from the libraries the program links, and, for the
# libraries it opens on first use (see kolvarin_lazy_sonames), from the
# packages that own their files here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kolvarin)
set(CPACK_PACKAGE_VENDOR Kolvarin)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "skinned player for music, internet radio, CDs, videos and DVDs")
set(CPACK_PACKAGE_DESCRIPTION "Kolvarin plays local audio files, internet streams with recording, music CDs,
video files and DVDs, in skinned windows with a playlist, a 10-band
equalizer and a spectrum analyser.")
set(CPACK_PACKAGE_HOMEPAGE_URL https://www.kolvarin.org/)
set(CPACK_PACKAGE_CONTACT "Kolvarin maintainers <maintainers@kolvarin.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
# cpack installs what the install rules name; it need not build the tests.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

find_program(KOLVARIN_DPKG dpkg)
get_property(lazy GLOBAL PROPERTY KOLVARIN_LAZY_LIBRARIES)
if(KOLVARIN_DPKG AND lazy)
  set(patterns)
  foreach(file IN LISTS lazy)
    file(REAL_PATH ${file} real)
    get_filename_component(name ${real} NAME)
    list(APPEND patterns "*/${name}")
  endforeach()
  execute_process(COMMAND ${KOLVARIN_DPKG} -S ${patterns} OUTPUT_VARIABLE owners ERROR_QUIET)
  string(REGEX MATCHALL "(^|\n)[^:\n]+" owners "${owners}")
  list(TRANSFORM owners STRIP)
  list(REMOVE_DUPLICATES owners)
  list(SORT owners)
  list(JOIN owners ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
endif()
include(CPack)
