# SPDX-License-Identifier: MIT
vexil_add_benchmark(text LIBS vexil_text)
