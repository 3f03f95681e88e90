#!/usr/bin/env bash
# Measures what a child waits for on the real back end: a key typed with xdotool until
# the answering clip's first frame is on screen, and until the answering cue's first
# samples reach the sound device. Runs bench_key_answer (from a build with benchmarks
# on) under a private Xvfb; extra arguments go to the benchmark.
#   scripts/measure-key-answer.sh [BUILD_DIR] [benchmark options]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
[ $# -gt 0 ] && shift
bench="$build/bench/bench_key_answer"
if [ ! -x "$bench" ]; then
  echo "measure: $bench is missing: build it with 'ninja -C $build bench_key_answer'" >&2
  exit 1
fi

xvfb_pid=
dpyfile=$(mktemp)
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -f "$dpyfile"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dpyfile" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$dpyfile" ] && break; sleep 0.1; done
display_number=$(head -n 1 "$dpyfile")
if [ -z "$display_number" ]; then
  echo "measure: the private X server (Xvfb) did not start" >&2
  exit 1
fi
export DISPLAY=":$display_number"
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
"$bench" "$@"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
