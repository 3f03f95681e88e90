#!/usr/bin/env bash
# Builds everything and runs every test: the normal build, then the whole suite again
# under AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer with the libFuzzer
# targets, then the Linux back end's tests under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh

# Tests of the Linux back end need an X display: always a private one, whose number the
# server picks itself, so the tests' keys never land on a desktop or another run's windows.
# -noreset: the server does not reset between tests (while resetting it refuses clients).
xvfb_pid=
dpyfile=$(mktemp)
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -f "$dpyfile"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$dpyfile" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$dpyfile" ] && break; sleep 0.1; done
display_number=$(head -n 1 "$dpyfile")
if [ -z "$display_number" ]; then
  echo "test: the private X server (Xvfb) did not start" >&2
  exit 1
fi
export DISPLAY=":$display_number"
if ! xdotool getdisplaygeometry >/dev/null 2>&1; then
  echo "test: the private X server at $DISPLAY does not answer" >&2
  exit 1
fi
# No sound card on a build machine: SDL's dummy audio driver consumes in real time.
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

# Braille: a private BRLTTY with its virtual braille driver on a socket of this run, which
# the braille tests play as the display; their programs reach it through BrlAPI on a host
# number nobody else uses, without authentication, so no test touches the user's braille.
# Its alert tunes are off: on machines without a beeper they end it.
brl_dir=$(mktemp -d)
brl_pid=
stop_brltty() {
  if [ -n "$brl_pid" ] && kill -TERM "$brl_pid" 2>/dev/null; then
    # With no display connected, BRLTTY notices the signal only when something connects.
    python3 -c 'import socket,sys; socket.socket(socket.AF_UNIX).connect(sys.argv[1])' \
      "$brl_dir/vr.sock" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$brl_pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$brl_pid" 2>/dev/null || true
  fi
  rm -rf "$brl_dir"
}
trap 'stop_brltty; cleanup' EXIT
brlapi_number=$((4000 + $$ % 4000))
while [ -e "/var/lib/BrlAPI/$brlapi_number" ]; do brlapi_number=$((brlapi_number + 1)); done
nobody_number=$((brlapi_number + 1))
while [ -e "/var/lib/BrlAPI/$nobody_number" ]; do nobody_number=$((nobody_number + 1)); done
brltty_privileged=()
[ "$(id -u)" -eq 0 ] && brltty_privileged=(-Z)
brltty -n -e -q -f /dev/null -F /dev/null -W "$brl_dir" -U "$brl_dir" -P "$brl_dir/brltty.pid" \
  -b vr -d "server:$brl_dir/vr.sock" -x no -s no -t en-nabcc -o alert-tunes=no \
  -A "host=:$brlapi_number,auth=none" "${brltty_privileged[@]}" >"$brl_dir/brltty.log" 2>&1 &
brl_pid=$!
for _ in $(seq 100); do
  [ -S "$brl_dir/vr.sock" ] && [ -S "/var/lib/BrlAPI/$brlapi_number" ] && break
  sleep 0.1
done
if [ ! -S "$brl_dir/vr.sock" ] || [ ! -S "/var/lib/BrlAPI/$brlapi_number" ]; then
  echo "test: the private BRLTTY did not start:" >&2
  cat "$brl_dir/brltty.log" >&2
  exit 1
fi
# Only the braille tests' programs talk to it (BRLTTY 6.5 crashes when a client connects
# while its virtual display is away); every other console finds no BRLTTY at all.
export BRLAPI_HOST=":$nobody_number" BRLAPI_AUTH=none
export SONARA_TEST_BRLAPI_HOST=":$brlapi_number" SONARA_TEST_BRAILLE_SOCKET="$brl_dir/vr.sock"

# Speech: a private, headless speech-dispatcher (espeak-ng, audio to a null device) for the
# speech-server tests, which reach it at SONARA_TEST_SPEECHD_ADDRESS; stopped at the end.
spd_dir=$(mktemp -d)
stop_speechd() {
  scripts/speechd-private.sh stop "$spd_dir" || true
  rm -rf "$spd_dir"
}
trap 'stop_speechd; stop_brltty; cleanup' EXIT
SONARA_TEST_SPEECHD_ADDRESS=$(scripts/speechd-private.sh start "$spd_dir")
export SONARA_TEST_SPEECHD_ADDRESS

echo "== normal build"
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSONARA_WERROR=ON
(cd build && ctest --output-on-failure -j"$(nproc)" --timeout 900)

echo "== sanitizer build (ASan, UBSan, libFuzzer)"
scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DSONARA_SANITIZE=ON -DSONARA_FUZZ=ON -DSONARA_BENCH=OFF \
  -DSONARA_WERROR=ON
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
(cd build-asan && ctest --output-on-failure -j"$(nproc)" --timeout 900 -LE linux)
# The Linux back end's tests load and unload system libraries through SDL (X11 and
# others), which leave blocks LeakSanitizer cannot name: leaks there are not checked.
(cd build-asan && ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 \
  ctest --output-on-failure -j"$(nproc)" --timeout 900 -L linux)

echo "== thread sanitizer (the Linux back end's tests: its audio, notifier and clip threads)"
SONARA_TARGETS=linux_tests scripts/build.sh build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DSONARA_TSAN=ON -DSONARA_BENCH=OFF \
  -DSONARA_WERROR=ON
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:suppressions=$PWD/tests/tsan.supp}
(cd build-tsan && ctest --output-on-failure --timeout 900 -L linux)
