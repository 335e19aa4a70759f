# Packages made by cpack in the build tree: a .tar.gz of the installed tree
# and, as Debian users expect them, Debian packages: d88image (the programs
# and their manual pages), libd88image1 (the C API's shared library),
# libd88image-dev (the static library, the headers, the shared library's
# link, the CMake package and the pkg-config files) and, with D88_PYTHON,
# python3-d88image (the Python package), each with its own copyright file
# and changelog. On Windows, a zip.
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
if(D88_BUILD_C_API)
    list(APPEND CPACK_COMPONENTS_ALL runtime)
endif()
if(D88_PYTHON)
    list(APPEND CPACK_COMPONENTS_ALL python)
endif()
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
overwriting, with checksums and a manifest; d88convert converts a disk
to a raw sector image and back, saying every sector it fills or leaves
out, and splits and joins sets. All of them treat every
image as untrusted input.")

set(D88_RUNTIME_PACKAGE libd88image1)  # the shared library's SONAME version
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME ${D88_RUNTIME_PACKAGE})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SHLIBDEPS ON)
# A shlibs file for the packages built against it, and the ldconfig trigger
# that Debian asks of a package with a shared library in /usr/lib.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/cmake/debian/triggers)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "D88 floppy-disk image library (C API, shared library)
The d88image library reads D88 floppy-disk image files without trusting
them, reports what an image holds and what is damaged in it, and cuts
the files out of it into memory. This package holds the shared library
of its C API, which other languages' bindings load.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libd88image-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
if(D88_BUILD_C_API)
    set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "${D88_RUNTIME_PACKAGE} (= ${PROJECT_VERSION})")
endif()
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION "D88 floppy-disk image reader library (development files)
The d88image library reads D88 floppy-disk image files without trusting
them: it indexes the disks of a file, selects one and reads sectors by
their recorded ID bytes, through a fixed window of the file. This
package holds its static library, the headers of the library and of its
C API, the link to the C API's shared library, the CMake package and
the pkg-config files.")

set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-d88image)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
set(CPACK_DEBIAN_PYTHON_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS "python3 (>= 3.9), ${D88_RUNTIME_PACKAGE} (>= ${PROJECT_VERSION})")
set(CPACK_COMPONENT_PYTHON_DESCRIPTION "D88 floppy-disk image library (Python package)
The d88image Python package opens D88 floppy-disk images from a file or
from bytes, reads their disks and sectors, reports what an image holds
and what is damaged in it (the same document d88info --json prints) and
cuts the files out of it into memory (as d88cut does), through the C
API of the d88image library.")

# Each Debian package carries its own copyright file and changelog.
find_program(D88_GZIP gzip)
if(D88_GZIP AND NOT WIN32)
    set(changelog ${PROJECT_BINARY_DIR}/debian/changelog)
    configure_file(cmake/debian/changelog.in ${changelog} @ONLY)
    add_custom_command(OUTPUT ${changelog}.gz COMMAND ${D88_GZIP} -9n -c ${changelog} > ${changelog}.gz
        DEPENDS ${changelog} VERBATIM)
    add_custom_target(d88image_debian_changelog ALL DEPENDS ${changelog}.gz)
    foreach(component ${CPACK_COMPONENTS_ALL})
        string(TOUPPER ${component} upper)
        install(FILES cmake/debian/copyright ${changelog}.gz
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${CPACK_DEBIAN_${upper}_PACKAGE_NAME} COMPONENT ${component})
    endforeach()
endif()

include(CPack)
