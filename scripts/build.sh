#!/usr/bin/env bash
# Configures and builds one build tree. Usage: build.sh DIR [cmake options...]
# SONARA_TARGETS (space-separated) builds only those targets.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1; shift
# Configured every time, so the options given now are the ones that hold (cheap when
# nothing changed).
generator=(-G Ninja)
[ -f "$dir/CMakeCache.txt" ] && generator=()
cmake -S . -B "$dir" "${generator[@]}" "$@" >/dev/null
targets=()
for t in ${SONARA_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$dir" "${targets[@]}" -- -j"$(nproc)"
