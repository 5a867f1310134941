#!/usr/bin/env bash
# Installs what building and testing need, from Debian's packages, when missing.
set -euo pipefail
# dasm and stella build and play the music engine; xvfb and xauth give the
# engine's audio tests a screen for stella where SDL's dummy one will not do.
packages=(cmake g++ make qt6-base-dev libgtest-dev dasm stella xvfb xauth)
# libopenmpt reads tracker modules for the module import; pkg-config finds it.
packages+=(libopenmpt-dev pkg-config)
# Schism Tracker (schism) checks that it loads and plays Ostrak.it without a screen.
packages+=(schism)
# The Debian package: cpack finds its library dependencies with dpkg-shlibdeps
# (dpkg-dev) and file; its check validates the menu entries.
packages+=(dpkg-dev file desktop-file-utils)
# Qt Multimedia plays songs inside ostrak.
packages+=(qt6-multimedia-dev)
# A private PulseAudio server with an output that plays into nothing lets the
# tests hear what the real sound output plays (parec records it).
packages+=(pulseaudio pulseaudio-utils)
# locales-all gives the decimal-comma locales the number tests run under.
packages+=(locales-all)
# clang with its sanitizer and libFuzzer runtimes builds the fuzz targets.
packages+=(clang libclang-rt-14-dev libfuzzer-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update
  $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
