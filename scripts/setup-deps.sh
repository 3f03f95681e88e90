#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the media generators need,
# only those that are missing. Safe to run again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libsdl2-ttf-dev libfontconfig-dev fonts-dejavu-core libmpv-dev
  ffmpeg espeak-ng sox xvfb xdotool xauth
  python3 python3-numpy wbrazilian brltty libbrlapi-dev libx11-dev x11-utils
  speech-dispatcher speech-dispatcher-espeak-ng libspeechd-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
      echo "setup: these Debian packages are missing and there is no sudo; as root, run:" >&2
      echo "  apt-get install --no-install-recommends ${missing[*]}" >&2
      exit 1
    fi
    sudo_cmd=(sudo)
  fi
  export DEBIAN_FRONTEND=noninteractive
  # A fresh machine often runs its automatic upgrades at boot: wait for apt's lock.
  apt_opts=(-o DPkg::Lock::Timeout=600)
  "${sudo_cmd[@]}" apt-get "${apt_opts[@]}" update -qq
  "${sudo_cmd[@]}" apt-get "${apt_opts[@]}" install -y -qq --no-install-recommends "${missing[@]}"
fi
