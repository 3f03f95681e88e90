#!/usr/bin/env bash
# Configures and builds one build tree. Usage: build.sh DIR [cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1; shift
# Configured every time, so the options given now are the ones that hold (cheap when
# nothing changed).
generator=(-G Ninja)
[ -f "$dir/CMakeCache.txt" ] && generator=()
cmake -S . -B "$dir" "${generator[@]}" "$@" >/dev/null
cmake --build "$dir" -- -j"$(nproc)"
