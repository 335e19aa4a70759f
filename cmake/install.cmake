# Installation: the programs, the library with its header, a CMake package
# and a pkg-config file for programs that link the library, manual pages
# and the documents. Every path comes from GNUInstallDirs.
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

install(TARGETS tablecut scancut RUNTIME DESTINATION ${D88_PROGRAM_DIR})
install(TARGETS d88image EXPORT d88imageTargets
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY include/d88image DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

install(EXPORT d88imageTargets NAMESPACE d88image:: DESTINATION ${D88_CMAKE_DIR})
configure_package_config_file(cmake/d88imageConfig.cmake.in
    ${PROJECT_BINARY_DIR}/d88imageConfig.cmake INSTALL_DESTINATION ${D88_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/d88imageConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/d88imageConfig.cmake ${PROJECT_BINARY_DIR}/d88imageConfigVersion.cmake
    DESTINATION ${D88_CMAKE_DIR})

install(FILES README.md LICENSE CHANGELOG.md DESTINATION ${D88_DOC_DIR})
if(WIN32)
    return()
endif()

# The pkg-config file finds the prefix from its own place, so that it holds
# wherever the tree is installed or unpacked.
file(RELATIVE_PATH D88_PC_PREFIX_FROM_PCDIR "/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/")
string(REGEX REPLACE "/$" "" D88_PC_PREFIX_FROM_PCDIR "${D88_PC_PREFIX_FROM_PCDIR}")
configure_file(cmake/d88image.pc.in ${PROJECT_BINARY_DIR}/d88image.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/d88image.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(FILES man/tablecut.1 man/scancut.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
