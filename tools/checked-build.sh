#!/usr/bin/env bash
# Configures and builds one checked build: checked-build.sh FOLDER [cmake
# options...] [-- build options...]. Uses ccache when it is there.
set -euo pipefail
cd "$(dirname "$0")/.."
folder="$1"
shift
configure=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do configure+=("$1"); shift; done
[ $# -gt 0 ] && shift
if command -v ccache >/dev/null; then
  configure+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
fi
cmake -S . -B "$folder" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${configure[@]}" >/dev/null
cmake --build "$folder" -j"$(nproc)" "$@"
