#!/usr/bin/env bash
# Builds the Debian package, installs it (for real as root, else unpacked
# into a scratch root), validates the menu entries and starts both programs
# through the installed launcher in a fresh home folder, offscreen.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
bash tools/build.sh
rm -f build/ostrak_*.deb
(cd build && cpack -G DEB >/dev/null)
deb=$(ls build/ostrak_*.deb)
scratch=$(mktemp -d)
trap '[ -z "${pid:-}" ] || kill "$pid" 2>/dev/null || true; rm -rf "$scratch"' EXIT

fail() { echo "check-package: $*" >&2; exit 1; }

fields=$(dpkg-deb -f "$deb" Depends Recommends)
grep -q '^Depends:.*libqt6widgets6' <<<"$fields" || fail "no computed Qt dependency: $fields"
grep -q '^Recommends: dasm, stella$' <<<"$fields" || fail "dasm and stella not recommended: $fields"

if [ "$(id -u)" -eq 0 ]; then
  root=""
  DEBIAN_FRONTEND=noninteractive apt-get install -y --reinstall -o DPkg::Lock::Timeout=120 "./$deb" >/dev/null
else
  root="$scratch/root"
  dpkg -x "$deb" "$root"
  echo "check-package: not root, checking the package unpacked in $root" >&2
fi
prefix="$root/usr"

for program in ostrak crimp; do
  desktop-file-validate "$prefix/share/applications/$program.desktop" | { grep -v ': hint: ' || true; }
  for icon in scalable/apps/$program.svg 48x48/apps/$program.png 256x256/apps/$program.png; do
    [ -s "$prefix/share/icons/hicolor/$icon" ] || fail "missing icon $icon"
  done
done
engine_files=(engine.asm compile.bat copycart.bat example-paste.txt Ostrak.it README.md)

# Starts a program as its menu entry does (the entry's command, found on the
# PATH) and waits until it runs in the working folder; its process id is left
# in pid.
pid=""
start_in_work() {
  local program=$1 target command
  command=$(sed -n 's/^Exec=//p' "$prefix/share/applications/$program.desktop")
  [ "${command%% *}" = ostrak-launch ] || fail "$program.desktop does not start ostrak-launch"
  # shellcheck disable=SC2086 # the entry's command, split into its words
  env -u OSTRAK_WORK HOME="$scratch/home" PATH="$prefix/bin:$PATH" QT_QPA_PLATFORM=offscreen \
    $command >"$scratch/$program.log" 2>&1 &
  pid=$!
  for _ in $(seq 300); do
    target=$(readlink "/proc/$pid/exe" 2>/dev/null || true)
    [ "$target" = "$prefix/bin/$program" ] && break
    kill -0 "$pid" 2>/dev/null || { cat "$scratch/$program.log" >&2; fail "$program ended at start"; }
    sleep 0.1
  done
  [ "$(readlink "/proc/$pid/exe")" = "$prefix/bin/$program" ] || fail "$program did not start"
  sleep 1 # still running a moment later, so its window came up
  kill -0 "$pid" 2>/dev/null || { cat "$scratch/$program.log" >&2; fail "$program ended at start"; }
  [ "$(readlink "/proc/$pid/cwd")" = "$scratch/home/ostrak-work" ] || fail "$program not started in ~/ostrak-work"
}
stop() { kill "$pid"; wait "$pid" 2>/dev/null || true; pid=""; }

mkdir "$scratch/home"
work="$scratch/home/ostrak-work"
start_in_work ostrak
stop
for name in "${engine_files[@]}"; do
  target="$work/$name"
  [ "$name" = README.md ] && target="$work/engine-README.md"
  cmp -s "$prefix/share/ostrak/engine/$name" "$target" || fail "$target is not the engine's $name"
done

# A script the user changed stays as it is on the next start.
echo "# mine" >>"$work/compile.bat"
cp "$work/compile.bat" "$scratch/mine.bat"
start_in_work crimp
stop
cmp -s "$work/compile.bat" "$scratch/mine.bat" || fail "the user's compile.bat was overwritten"
echo "check-package: $deb installs, its menu entries validate, ostrak and crimp start in ~/ostrak-work"
