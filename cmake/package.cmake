# Packages made by cpack in the build tree: a .tar.gz of the installed tree
# and a Debian package whose dependencies are computed from the binaries.
set(CPACK_PACKAGE_NAME d88image)
set(CPACK_PACKAGE_VENDOR "d88image maintainers")
set(CPACK_PACKAGE_CONTACT "d88image maintainers <maintainers@users.noreply.c-seed-739f3b88.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Cut files out of D88 floppy-disk images")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "tablecut recognises the disks of a three-disk set by the sector numbers"
    "on their track 1 and cuts each disk's files from built-in tables;"
    "scancut lays the first two disks of an image into a buffer and writes"
    "every data file it finds there by its header. Both treat every image"
    "as untrusted input. Includes the d88image reader library with its"
    "header, a CMake package and a pkg-config file.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME d88image-${PROJECT_VERSION}-win64)
else()
    set(CPACK_GENERATOR TGZ DEB)
endif()
set(CPACK_SOURCE_GENERATOR "")
set(CPACK_STRIP_FILES TRUE)
# The Debian package installs under /usr; the archive holds the tree as
# installed, from its prefix down.
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/package_per_generator.cmake)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})

include(CPack)
