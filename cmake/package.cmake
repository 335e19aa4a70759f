# Packages made by cpack in the build tree: a .tar.gz of the installed tree
# and, as Debian users expect them, two Debian packages: d88image (the
# programs and their manual pages) and libd88image-dev (the library, its
# headers, the CMake package and the pkg-config file), each with its own
# copyright file and changelog. On Windows, a zip.
set(CPACK_PACKAGE_NAME d88image)
set(CPACK_PACKAGE_VENDOR "d88image maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Cut files out of D88 floppy-disk images")
set(CPACK_PACKAGE_CONTACT "d88image maintainers <maintainers@users.noreply.c-seed-739f3b88.example>")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(D88_RELEASE_DATE "Wed, 09 Dec 2026 00:00:00 +0000")
if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME d88image-${PROJECT_VERSION}-win64)
else()
    set(CPACK_GENERATOR TGZ DEB)
endif()
set(CPACK_SOURCE_GENERATOR "")
set(CPACK_STRIP_FILES TRUE)
# The Debian packages install under /usr; the archive holds the tree as
# installed, from its prefix down.
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/package_per_generator.cmake)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL programs development)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})

set(CPACK_DEBIAN_PROGRAMS_PACKAGE_NAME d88image)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SHLIBDEPS ON)
set(CPACK_COMPONENT_PROGRAMS_DESCRIPTION "Cut files out of D88 floppy-disk images
tablecut recognises the disks of a three-disk set by the sector numbers
on their track 1 and cuts each disk's files from built-in tables;
scancut lays the first two disks of an image into a buffer and writes
every data file it finds there by its header. d88info reports what an
image holds, what is damaged in it and what the cutters would write;
d88cut extracts many images into folders of their own, never
overwriting, with checksums and a manifest. All of them treat every
image as untrusted input.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libd88image-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION "D88 floppy-disk image reader library (development files)
The d88image library reads D88 floppy-disk image files without trusting
them: it indexes the disks of a file, selects one and reads sectors by
their recorded ID bytes, through a fixed window of the file. This
package holds its static library, headers, CMake package and
pkg-config file.")

# Each Debian package carries its own copyright file and changelog.
find_program(D88_GZIP gzip)
if(D88_GZIP AND NOT WIN32)
    set(changelog ${PROJECT_BINARY_DIR}/debian/changelog)
    configure_file(cmake/debian/changelog.in ${changelog} @ONLY)
    add_custom_command(OUTPUT ${changelog}.gz COMMAND ${D88_GZIP} -9n -c ${changelog} > ${changelog}.gz
        DEPENDS ${changelog} VERBATIM)
    add_custom_target(d88image_debian_changelog ALL DEPENDS ${changelog}.gz)
    foreach(component programs development)
        string(TOUPPER ${component} upper)
        install(FILES cmake/debian/copyright ${changelog}.gz
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${CPACK_DEBIAN_${upper}_PACKAGE_NAME} COMPONENT ${component})
    endforeach()
endif()

include(CPack)
