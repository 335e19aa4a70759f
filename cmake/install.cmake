# Installation, in components: "programs" (the programs, their manual pages
# and the documents), "runtime" (the C API's shared library), "development"
# (the static library, the headers, the shared library's link, a CMake
# package and pkg-config files) and, with D88_PYTHON, "python" (the Python
# package). Every path comes from GNUInstallDirs. Also a build-tree export,
# so that another build can use this one's libraries through find_package
# without installing them.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(D88_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/d88image)
if(WIN32)
    # Unpacked from the zip, the programs and the documents stand together
    # at the top; the library keeps its lib and include folders.
    set(D88_PROGRAM_DIR .)
    set(D88_DOC_DIR .)
else()
    set(D88_PROGRAM_DIR ${CMAKE_INSTALL_BINDIR})
    set(D88_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/d88image)
endif()

if(D88_BUILD_PROGRAMS)
    install(TARGETS ${D88_PROGRAMS} RUNTIME DESTINATION ${D88_PROGRAM_DIR} COMPONENT programs)
    install(FILES README.md LICENSE CHANGELOG.md DESTINATION ${D88_DOC_DIR} COMPONENT programs)
    # What the README links to, where its links lead in the installed copy.
    install(DIRECTORY docs/ DESTINATION ${D88_DOC_DIR}/docs COMPONENT programs)
    install(DIRECTORY man/ DESTINATION ${D88_DOC_DIR}/man COMPONENT programs FILES_MATCHING PATTERN "*.1")
endif()

install(TARGETS d88image EXPORT d88imageTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
    INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY include/d88image DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT development)
install(FILES ${PROJECT_BINARY_DIR}/include/d88image/d88_version.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/d88image
    COMPONENT development)
if(D88_BUILD_C_API)
    install(TARGETS d88image_c EXPORT d88imageTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development
        RUNTIME DESTINATION ${D88_PROGRAM_DIR} COMPONENT runtime
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development)
endif()
# The Python package, finding the shared library from where it lies itself.
if(D88_PYTHON)
    if(NOT D88_BUILD_C_API OR WIN32)
        message(FATAL_ERROR "D88_PYTHON needs D88_BUILD_C_API, and a system other than Windows")
    endif()
    # Debian's Python reads the packages of the system from
    # lib/python3/dist-packages; another's from its version's site-packages.
    if(EXISTS /etc/debian_version)
        set(default_dir lib/python3/dist-packages)
    else()
        find_package(Python3 3.9 REQUIRED COMPONENTS Interpreter)
        set(default_dir lib/python${Python3_VERSION_MAJOR}.${Python3_VERSION_MINOR}/site-packages)
    endif()
    set(D88_PYTHON_DIR ${default_dir} CACHE STRING "Where the Python package goes, under the prefix")
    install(DIRECTORY python/d88image DESTINATION ${D88_PYTHON_DIR} COMPONENT python
        FILES_MATCHING PATTERN "*.py" PATTERN "py.typed" PATTERN "__pycache__" EXCLUDE)
    file(RELATIVE_PATH library_dir "/${D88_PYTHON_DIR}/d88image" "/${CMAKE_INSTALL_LIBDIR}")
    file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/python/_installed.py CONTENT
        "# Written by the install: where the shared library lies, from this folder.\nLIBRARY = \"${library_dir}/$<TARGET_SONAME_FILE_NAME:d88image_c>\"\n")
    install(FILES ${PROJECT_BINARY_DIR}/python/_installed.py DESTINATION ${D88_PYTHON_DIR}/d88image COMPONENT python)
endif()

install(EXPORT d88imageTargets NAMESPACE d88image:: DESTINATION ${D88_CMAKE_DIR} COMPONENT development)
export(EXPORT d88imageTargets NAMESPACE d88image:: FILE ${PROJECT_BINARY_DIR}/d88imageTargets.cmake)
configure_package_config_file(cmake/d88imageConfig.cmake.in
    ${PROJECT_BINARY_DIR}/d88imageConfig.cmake INSTALL_DESTINATION ${D88_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/d88imageConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/d88imageConfig.cmake ${PROJECT_BINARY_DIR}/d88imageConfigVersion.cmake
    DESTINATION ${D88_CMAKE_DIR} COMPONENT development)
if(WIN32)
    return()
endif()

# The pkg-config file finds the prefix from its own place, so that it holds
# wherever the tree is installed or unpacked.
file(RELATIVE_PATH D88_PC_PREFIX_FROM_PCDIR "/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/")
string(REGEX REPLACE "/$" "" D88_PC_PREFIX_FROM_PCDIR "${D88_PC_PREFIX_FROM_PCDIR}")
# d88image is the static C++ library, named by its file so that the shared
# library beside it is not taken instead; d88image-c is the C API's shared
# library.
configure_file(cmake/d88image.pc.in ${PROJECT_BINARY_DIR}/d88image.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/d88image.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)
if(D88_BUILD_C_API)
    configure_file(cmake/d88image-c.pc.in ${PROJECT_BINARY_DIR}/d88image-c.pc @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/d88image-c.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
        COMPONENT development)
endif()

# Manual pages are installed compressed, as the system's own are.
if(D88_BUILD_PROGRAMS)
    find_program(D88_GZIP gzip)
    foreach(program ${D88_PROGRAMS})
        set(page ${PROJECT_SOURCE_DIR}/man/${program}.1)
        if(D88_GZIP)
            set(compressed ${PROJECT_BINARY_DIR}/man/${program}.1.gz)
            add_custom_command(OUTPUT ${compressed}
                COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
                COMMAND ${D88_GZIP} -9n -c ${page} > ${compressed}
                DEPENDS ${page} VERBATIM)
            list(APPEND D88_MAN_PAGES ${compressed})
        else()
            list(APPEND D88_MAN_PAGES ${page})
        endif()
    endforeach()
    add_custom_target(d88image_man_pages ALL DEPENDS ${D88_MAN_PAGES})
    install(FILES ${D88_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT programs)
endif()
