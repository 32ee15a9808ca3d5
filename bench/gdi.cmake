# SPDX-License-Identifier: MIT
# GDI's drawing calls made directly on a memory DC, on the shared workloads.
vexil_add_benchmark(gdi WORKLOADS LIBS vexil_platform_headless)
