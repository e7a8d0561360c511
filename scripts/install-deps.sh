#!/usr/bin/env bash
# Installs the Debian packages the build and tests need, only those that are missing.
#   install-deps.sh native  the Linux batch command, its tests and benchmarks (make run, make native)
#   install-deps.sh         also the Windows toolchain, Wine, Xvfb and the help tools (make test, gui, windows)
#   install-deps.sh fuzz    also AFL++ and the GCC plugin headers that `make fuzz` needs
set -euo pipefail

set_name="${1:-all}"
packages=(
  cmake make g++ pkg-config
  googletest libgtest-dev libbenchmark-dev
  libcairo2-dev nlohmann-json3-dev
  fonts-ipafont-gothic fonts-liberation
)
if [ "$set_name" != native ]; then
  packages+=(
    g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
    wine wine64 xvfb xauth x11-utils
    locales fp-utils unzip zip libchm-bin
  )
fi
if [ "$set_name" = fuzz ]; then packages+=(afl++ gcc-12-plugin-dev binutils); fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The Windows tests need the ANSI code page 932, which Wine takes from this locale.
if [ "$set_name" != native ] && ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "install-deps: generating the ja_JP.UTF-8 locale"
  if ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'ja_JP.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  fi
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
