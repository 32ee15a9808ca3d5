# SPDX-License-Identifier: MIT
# Presenting a window's surface with the X11 backend, on a virtual X server the program starts.
vexil_add_benchmark(x11 LIBS vexil_platform_x11 vexil_platform_internal PkgConfig::VEXIL_PKG_vexil_backend_x11)
if(TARGET x11_benchmark)
    target_sources(x11_benchmark PRIVATE ${PROJECT_SOURCE_DIR}/tests/e2e/xvfb_server.cpp)
    target_include_directories(x11_benchmark PRIVATE ${PROJECT_SOURCE_DIR}/tests/e2e)
endif()
