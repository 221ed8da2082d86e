# SPDX-License-Identifier: MIT
# What `cmake --install` gives a host team: the library file, the two
# host-facing headers, the translations with a sample language catalogue,
# the host guide with the example host, and a CMake package with the header
# target VqTintwell::Headers. The library
# is a plug-in that the host loads at run time, so the package offers the
# paths of the files to copy beside the host's executable, and nothing to
# link. Tests, the reference host and the benchmarks have no install rules.

include(CMakePackageConfigHelpers)

set(VQTINTWELL_INSTALL_LANGDIR ${CMAKE_INSTALL_DATADIR}/VqTintwell/Lang)
set(VQTINTWELL_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/VqTintwell)
# A DLL goes with the programs, a shared object with the libraries.
if(WIN32)
    set(VQTINTWELL_INSTALL_LIBRARYDIR ${CMAKE_INSTALL_BINDIR})
else()
    set(VQTINTWELL_INSTALL_LIBRARYDIR ${CMAKE_INSTALL_LIBDIR})
endif()
set(VQTINTWELL_LIBRARY_NAME $<TARGET_FILE_NAME:VqTintwell>)

# The import library that MSVC and MinGW make beside a DLL is left out of a
# plain install: linking it would defeat loading the plug-in by path.
install(TARGETS VqTintwell
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT ImportLibrary EXCLUDE_FROM_ALL)
if(MSVC)
    install(FILES $<TARGET_PDB_FILE:VqTintwell> DESTINATION ${CMAKE_INSTALL_BINDIR} OPTIONAL)
endif()

# Hosts include <vqtintwell/vqtintwell.h>; the loader includes
# "vqtintwell.h" from its own folder.
target_include_directories(VqTintwellHeaders INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
# Qt's own targets carry their major version in the same property, which
# CMake requires to agree across everything a target links: a host that
# links this package and the other Qt fails to configure, whatever the order
# in which it found them.
set_target_properties(VqTintwellHeaders PROPERTIES INTERFACE_QT_MAJOR_VERSION ${VQTINTWELL_QT_MAJOR}
    COMPATIBLE_INTERFACE_STRING QT_MAJOR_VERSION)
install(TARGETS VqTintwellHeaders EXPORT VqTintwellTargets)
install(EXPORT VqTintwellTargets NAMESPACE VqTintwell:: DESTINATION ${VQTINTWELL_INSTALL_CMAKEDIR})
install(FILES ${PROJECT_SOURCE_DIR}/plugin/vqtintwell.h ${PROJECT_SOURCE_DIR}/plugin/vqtintwellloader.h
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vqtintwell)

# The translations install themselves; the catalogue of the reference host
# is the sample beside them.
install(FILES ${PROJECT_SOURCE_DIR}/host/Lang/Lang.ini DESTINATION ${VQTINTWELL_INSTALL_LANGDIR})
install(FILES ${PROJECT_SOURCE_DIR}/docs/host-guide.md ${PROJECT_SOURCE_DIR}/docs/abi.md ${PROJECT_SOURCE_DIR}/LICENSE
    DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The example a host team copies first, buildable from where it lands.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/minimal-host DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)

# A host of the other compiler family calls the interfaces through the
# wrong virtual-table slots, and one of the other Qt major version cannot
# load the library at all, so the package records both.
if(MSVC)
    set(VQTINTWELL_MSVC_ABI TRUE)
else()
    set(VQTINTWELL_MSVC_ABI FALSE)
endif()
configure_package_config_file(cmake/VqTintwellConfig.cmake.in ${PROJECT_BINARY_DIR}/cmake/VqTintwellConfig.cmake.in
    INSTALL_DESTINATION ${VQTINTWELL_INSTALL_CMAKEDIR}
    PATH_VARS VQTINTWELL_INSTALL_LIBRARYDIR VQTINTWELL_INSTALL_LANGDIR
    NO_CHECK_REQUIRED_COMPONENTS_MACRO)
# The library's file name is known only at generate time.
file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/cmake/VqTintwellConfig.cmake
    INPUT ${PROJECT_BINARY_DIR}/cmake/VqTintwellConfig.cmake.in)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/cmake/VqTintwellConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/cmake/VqTintwellConfig.cmake ${PROJECT_BINARY_DIR}/cmake/VqTintwellConfigVersion.cmake
    ${PROJECT_SOURCE_DIR}/cmake/VqTintwellDeploy.cmake DESTINATION ${VQTINTWELL_INSTALL_CMAKEDIR})

# The SDK archive a host team receives, made by `cpack` in the build
# folder from the install rules above: VqTintwell-<version>-<platform>-qt<major>
# with one top folder of the same name, a ZIP for Windows, a .tar.gz elsewhere.
if(WIN32)
    set(CPACK_GENERATOR ZIP)
    math(EXPR bits "${CMAKE_SIZEOF_VOID_P} * 8")
    set(platform win${bits})
else()
    set(CPACK_GENERATOR TGZ)
    string(TOLOWER ${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR} platform)
endif()
set(CPACK_PACKAGE_VENDOR "The VqTintwell developers")
set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-${platform}-qt${VQTINTWELL_QT_MAJOR})
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
