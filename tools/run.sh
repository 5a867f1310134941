#!/usr/bin/env bash
# Sets up, builds and starts ostrak (or crimp: tools/run.sh crimp) in a working
# folder outside the source tree, where song.h and the scripts live.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
program="${1:-ostrak}"
bash "$here/setup.sh"
bash "$here/build.sh"
# The installed programs start through the same launcher, so both prepare the
# working folder alike.
exec "$here/ostrak-launch" --engine "$here/../engine" "$here/../build/$program/$program"
