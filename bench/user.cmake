# SPDX-License-Identifier: MIT
vexil_add_benchmark(user LIBS vexil_platform_headless vexil_platform_internal)
