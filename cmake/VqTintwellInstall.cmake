# What `cmake --install` gives a host team: the library file, the two
# host-facing headers, the translations with a sample language catalogue, and
# a CMake package that finds them. The library is a plug-in that the host
# loads at run time, so the package offers a header-only target to compile
# against and the paths of the files to copy beside the host's executable,
# but nothing to link. Tests, the reference host and the benchmarks have no
# install rules.

include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(VQTINTWELL_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/VqTintwell)
set(VQTINTWELL_INSTALL_LANGDIR ${VQTINTWELL_INSTALL_DATADIR}/Lang)
set(VQTINTWELL_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/VqTintwell)
# A DLL goes with the programs, a shared object with the libraries.
if(WIN32)
    set(VQTINTWELL_INSTALL_LIBRARYDIR ${CMAKE_INSTALL_BINDIR})
else()
    set(VQTINTWELL_INSTALL_LIBRARYDIR ${CMAKE_INSTALL_LIBDIR})
endif()

get_target_property(library_prefix VqTintwell PREFIX)
if(NOT library_prefix AND NOT library_prefix STREQUAL "")
    set(library_prefix ${CMAKE_SHARED_LIBRARY_PREFIX})
endif()
set(VQTINTWELL_LIBRARY_NAME ${library_prefix}VqTintwell${CMAKE_SHARED_LIBRARY_SUFFIX})

# The import library that MSVC and MinGW make beside a DLL is left out of a
# plain install: linking it would defeat loading the plug-in by path.
install(TARGETS VqTintwell
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT ImportLibrary EXCLUDE_FROM_ALL)
if(MSVC)
    install(FILES $<TARGET_PDB_FILE:VqTintwell> DESTINATION ${CMAKE_INSTALL_BINDIR} OPTIONAL)
endif()

# The loader includes "vqtintwell.h" from its own folder, so it works from
# plugin/ in the source tree and from include/vqtintwell/ when installed.
install(FILES
    ${PROJECT_SOURCE_DIR}/plugin/vqtintwell.h
    ${PROJECT_SOURCE_DIR}/plugin/vqtintwellloader.h
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vqtintwell)

# The translations install themselves (translations/CMakeLists.txt); the
# catalogue of the reference host is the sample beside them.
install(FILES ${PROJECT_SOURCE_DIR}/host/Lang/Lang.ini DESTINATION ${VQTINTWELL_INSTALL_LANGDIR})

install(FILES ${PROJECT_SOURCE_DIR}/docs/host-guide.md ${PROJECT_SOURCE_DIR}/docs/abi.md
    DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Hosts of the other compiler family call the interfaces through the wrong
# virtual-table slots, so the package records which family built it.
if(MSVC)
    set(VQTINTWELL_MSVC_ABI TRUE)
else()
    set(VQTINTWELL_MSVC_ABI FALSE)
endif()

configure_package_config_file(
    ${PROJECT_SOURCE_DIR}/cmake/VqTintwellConfig.cmake.in
    ${PROJECT_BINARY_DIR}/cmake/VqTintwellConfig.cmake
    INSTALL_DESTINATION ${VQTINTWELL_INSTALL_CMAKEDIR}
    PATH_VARS CMAKE_INSTALL_INCLUDEDIR VQTINTWELL_INSTALL_LIBRARYDIR VQTINTWELL_INSTALL_LANGDIR
    NO_CHECK_REQUIRED_COMPONENTS_MACRO)
# The pointer size is checked too: a 32-bit host cannot load a 64-bit build.
write_basic_package_version_file(
    ${PROJECT_BINARY_DIR}/cmake/VqTintwellConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES
    ${PROJECT_BINARY_DIR}/cmake/VqTintwellConfig.cmake
    ${PROJECT_BINARY_DIR}/cmake/VqTintwellConfigVersion.cmake
    DESTINATION ${VQTINTWELL_INSTALL_CMAKEDIR})
