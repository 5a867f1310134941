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

# The music engine, its two scripts and the example paste go into the working
# folder. A file is replaced only while it is still the copy put there last
# time (kept under .ostrak-engine/), so a user's own changes stay.
engine="$here/../engine"
pristine="$work/.ostrak-engine"
mkdir -p "$pristine"
for name in engine.asm compile.bat copycart.bat example-paste.txt README.md; do
  source_file="$engine/$name"
  target="$work/$name"
  [ "$name" = README.md ] && target="$work/engine-README.md"
  if [ ! -e "$target" ] || cmp -s "$target" "$pristine/$name" || cmp -s "$target" "$source_file"; then
    cp "$source_file" "$target"
    cp "$source_file" "$pristine/$name"
  else
    echo "run.sh: keeping your changed $target (the new version is $source_file)" >&2
  fi
done
cd "$work"
exec "$here/../build/$program/$program"
