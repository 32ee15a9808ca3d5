# SPDX-License-Identifier: MIT
# The kernel's lock and handle paths beside the standard library's recursive mutex.
vexil_add_benchmark(kernel LIBS vexil_platform_headless vexil_platform_internal)
