#!/usr/bin/env bash
# Sets up, builds and starts ostrak (or crimp: tools/run.sh crimp) in a working
# folder outside the source tree, where song.h and the scripts live.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
program="${1:-ostrak}"
bash "$here/setup.sh"
bash "$here/build.sh"
work="${OSTRAK_WORK:-$HOME/ostrak-work}"
mkdir -p "$work"
cd "$work"
exec "$here/../build/$program/$program"
