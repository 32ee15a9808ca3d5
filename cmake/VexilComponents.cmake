# SPDX-License-Identifier: MIT
# Helpers that declare the platform layer's components and the test programs.

# vexil_add_component(<name> CORE|BACKEND_X11|BACKEND_HEADLESS SOURCES ... [PKG <pkg-config modules>])
# A component is an object library; the installable platform libraries are assembled from
# the components that exist, so each folder only declares itself. System libraries are named
# by their pkg-config modules, so the installed CMake package and .pc files can name them too.
function(vexil_add_component name kind)
    cmake_parse_arguments(ARG "" "" "SOURCES;PKG" ${ARGN})
    add_library(${name} OBJECT ${ARG_SOURCES})
    target_link_libraries(${name} PUBLIC vexil_platform_internal)
    set_property(GLOBAL APPEND PROPERTY VEXIL_COMPONENTS_${kind} ${name})
    if(ARG_PKG)
        pkg_check_modules(VEXIL_PKG_${name} REQUIRED IMPORTED_TARGET GLOBAL ${ARG_PKG})
        target_link_libraries(${name} PUBLIC PkgConfig::VEXIL_PKG_${name})
        set_property(GLOBAL APPEND PROPERTY VEXIL_PKG_MODULES_${kind} ${ARG_PKG})
    endif()
endfunction()

# vexil_add_test(<name> SOURCES ... LIBS ...): a GoogleTest program registered with CTest.
function(vexil_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120 PROPERTIES TIMEOUT 300)
endfunction()
