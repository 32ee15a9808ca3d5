# SPDX-License-Identifier: MIT
# The rasterizer alone on the shared workloads, beside plain SSE2 fill and copy loops.
vexil_add_benchmark(raster WORKLOADS LIBS vexil_raster)
