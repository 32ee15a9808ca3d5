#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# usage: check_install.sh <build dir> <c++ compiler> [sanitizers]
# Installs <build dir> into a scratch prefix, then builds and runs a small program against it
# through pkg-config (vexil-headless) and through find_package(Vexil).
set -euo pipefail
build=$1 cxx=$2 sanitize=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
flags=()
[ -n "$sanitize" ] && flags=(-fsanitize="$sanitize")
program=program.cpp
[ -f "$scratch/prefix/include/vexil/graphics.h" ] && program=graphics_program.cpp

export PKG_CONFIG_PATH="$scratch/prefix/lib/pkgconfig"
# shellcheck disable=SC2046
"$cxx" -std=c++20 "${flags[@]}" "$here/$program" $(pkg-config --cflags --libs vexil-headless) -o "$scratch/by-pkg-config"
"$scratch/by-pkg-config"

mkdir "$scratch/consumer"
cp "$here/$program" "$scratch/consumer/program.cpp"
cat >"$scratch/consumer/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.25)
project(consumer CXX)
set(CMAKE_CXX_STANDARD 20)
find_package(Vexil REQUIRED)
add_executable(program program.cpp)
target_compile_options(program PRIVATE ${flags[*]})
target_link_options(program PRIVATE ${flags[*]})
if(TARGET vexil::graphics_headless)
    target_link_libraries(program PRIVATE vexil::graphics_headless)
else()
    target_link_libraries(program PRIVATE vexil::platform_headless)
endif()
CMAKE
cmake -S "$scratch/consumer" -B "$scratch/consumer/build" -DCMAKE_CXX_COMPILER="$cxx" \
    -DCMAKE_PREFIX_PATH="$scratch/prefix" >/dev/null
cmake --build "$scratch/consumer/build" >/dev/null
"$scratch/consumer/build/program"
echo "installed library: pkg-config and CMake package both build and run $program"
