# SPDX-License-Identifier: MIT
# Installation: headers under include/vexil, the libraries, the CMake package and pkg-config files.
include(CMakePackageConfigHelpers)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/platform/include/win32 DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vexil)

set(vexil_export_targets vexil_platform_headers vexil_platform_x11 vexil_platform_headless)
set(vexil_graphics_lib "")
if(TARGET vexil_graphics)
    install(FILES ${PROJECT_SOURCE_DIR}/graphics/graphics.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vexil)
    list(APPEND vexil_export_targets vexil_graphics vexil_graphics_headless)
    set(vexil_graphics_lib "-lvexil_graphics")
endif()
foreach(target IN LISTS vexil_export_targets)
    string(REPLACE "vexil_" "" export_name ${target})
    set_target_properties(${target} PROPERTIES EXPORT_NAME ${export_name})
endforeach()
install(TARGETS ${vexil_export_targets} EXPORT VexilTargets
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(EXPORT VexilTargets NAMESPACE vexil:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Vexil)

get_property(VEXIL_MODULES_X11 GLOBAL PROPERTY VEXIL_PKG_MODULES_vexil_platform_x11)
get_property(VEXIL_MODULES_HEADLESS GLOBAL PROPERTY VEXIL_PKG_MODULES_vexil_platform_headless)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/VexilConfig.cmake.in
    ${PROJECT_BINARY_DIR}/VexilConfig.cmake INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Vexil)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/VexilConfigVersion.cmake COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/VexilConfig.cmake ${PROJECT_BINARY_DIR}/VexilConfigVersion.cmake
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Vexil)

# pkg-config: "vexil" for programs on X11, "vexil-headless" for tests and off-screen use.
# The prefix is found from the .pc file's own place, so an install to any --prefix works.
file(RELATIVE_PATH VEXIL_PC_UP /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" VEXIL_PC_UP "${VEXIL_PC_UP}")
foreach(flavour x11 headless)
    string(TOUPPER ${flavour} upper)
    list(JOIN VEXIL_MODULES_${upper} " " VEXIL_PC_REQUIRES)
    set(VEXIL_PC_PLATFORM vexil_platform_${flavour})
    if(flavour STREQUAL "x11")
        set(pc_name vexil)
        set(VEXIL_PC_NAME "Vexil")
    else()
        set(pc_name vexil-headless)
        set(VEXIL_PC_NAME "Vexil (headless)")
    endif()
    set(VEXIL_PC_GRAPHICS ${vexil_graphics_lib})
    configure_file(${PROJECT_SOURCE_DIR}/cmake/vexil.pc.in ${PROJECT_BINARY_DIR}/${pc_name}.pc @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/${pc_name}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()
