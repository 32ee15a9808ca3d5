# SPDX-License-Identifier: MIT
# The library on the shared workloads: with the headless backend, and the demonstration
# program's loop once more with the X11 backend while the window thread paints on a display.
vexil_add_benchmark(graphics WORKLOADS LIBS vexil_graphics_headless)
if(TARGET graphics_benchmark)
    add_executable(graphics_display_benchmark graphics_benchmark.cpp)
    target_compile_definitions(graphics_display_benchmark PRIVATE VEXIL_BENCH_ON_DISPLAY)
    target_include_directories(graphics_display_benchmark PRIVATE ${VEXIL_WORKLOADS_DIR})
    target_link_libraries(graphics_display_benchmark PRIVATE vexil_graphics benchmark::benchmark)
endif()
