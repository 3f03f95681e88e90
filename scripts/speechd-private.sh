#!/usr/bin/env bash
# A private, headless speech-dispatcher for the tests and measurements: its own runtime,
# configuration and log directories under DIR, no autospawn, audio to ALSA's "null"
# device (no sound card or sound server needed), Debian's espeak-ng output module and
# Brazilian Portuguese by default, logging every text and audio block (level 5).
#
#   scripts/speechd-private.sh start DIR [--sonara-module SONARA]
#       Starts the server and prints the client address; with --sonara-module it also
#       offers our output module ("sonara", data/speech-dispatcher/sonara.conf), running
#       the sonara tool SONARA. Clients use SPEECHD_ADDRESS=<the printed address>.
#   scripts/speechd-private.sh stop DIR
#       Stops it (and its output modules) and removes nothing but the socket and pid file.
#   scripts/speechd-private.sh address DIR
#       Prints the client address of a server started in DIR.
#
# `start` leaves in DIR: run/ (XDG_RUNTIME_DIR, the socket), config/speech-dispatcher/
# (speechd.conf, modules/), log/ (speech-dispatcher.log and the modules' logs).
# Environment variables set for `start` (PATH among them) reach the output modules.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)

usage() {
  echo "usage: $0 start DIR [--sonara-module SONARA] | stop DIR | address DIR" >&2
  exit 2
}

[ $# -ge 2 ] || usage
action=$1
dir=$2
shift 2

address() { echo "unix_socket:$dir/run/speech-dispatcher/speechd.sock"; }

start() {
  local sonara=
  while [ $# -gt 0 ]; do
    case $1 in
      --sonara-module) [ $# -ge 2 ] || usage; sonara=$2; shift 2 ;;
      *) usage ;;
    esac
  done
  if ! command -v speech-dispatcher >/dev/null; then
    echo "speechd-private: speech-dispatcher is not installed (scripts/setup-deps.sh)" >&2
    exit 1
  fi
  local modules=/usr/lib/speech-dispatcher-modules
  if [ ! -x "$modules/sd_espeak-ng" ]; then
    echo "speechd-private: $modules/sd_espeak-ng is missing (package speech-dispatcher-espeak-ng)" >&2
    exit 1
  fi
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  local run=$dir/run conf=$dir/config/speech-dispatcher log=$dir/log
  mkdir -p "$run/speech-dispatcher" "$conf/modules" "$log"
  chmod 700 "$run" "$run/speech-dispatcher" "$dir/config" "$conf" "$log"
  cp /etc/speech-dispatcher/modules/espeak-ng.conf "$conf/modules/"
  {
    echo "LogLevel 5"
    echo "LogDir \"$log\""
    echo "DisableAutoSpawn"
    echo "AudioOutputMethod \"alsa\""
    echo "AudioALSADevice \"null\""
    echo "AddModule \"espeak-ng\" \"sd_espeak-ng\" \"espeak-ng.conf\""
    if [ -n "$sonara" ]; then
      sed "s|@SONARA@|$sonara|g" "$repo/data/speech-dispatcher/sonara.conf" >"$conf/modules/sonara.conf"
      echo "AddModule \"sonara\" \"sd_generic\" \"sonara.conf\""
    fi
    echo "DefaultModule espeak-ng"
    echo "DefaultLanguage \"pt-BR\""
  } >"$conf/speechd.conf"
  rm -f "$run/speech-dispatcher/speechd.sock" "$run/speechd.pid"

  # -t 0: no idle timeout; the server runs until `stop`. setsid: a process group of its
  # own, so `stop` reaches the output modules it forked as well.
  XDG_RUNTIME_DIR=$run XDG_CONFIG_HOME=$dir/config setsid speech-dispatcher -s -t 0 -l 5 \
    -L "$log" -C "$conf" -m "$modules" -c unix_socket \
    -S "$run/speech-dispatcher/speechd.sock" -P "$run/speechd.pid" \
    </dev/null >"$log/server.out" 2>&1 &
  echo $! >"$run/server.pid"
  for _ in $(seq 100); do
    [ -S "$run/speech-dispatcher/speechd.sock" ] && break
    kill -0 "$(cat "$run/server.pid")" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -S "$run/speech-dispatcher/speechd.sock" ]; then
    echo "speechd-private: the server did not start:" >&2
    cat "$log/server.out" "$log/speech-dispatcher.log" >&2 2>/dev/null || true
    stop
    exit 1
  fi
  address
}

stop() {
  local run=$dir/run pid
  [ -f "$run/server.pid" ] || return 0
  pid=$(cat "$run/server.pid")
  # The server's process group: the server and the output modules it started.
  if kill -TERM -- "-$pid" 2>/dev/null; then
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL -- "-$pid" 2>/dev/null || true
  fi
  rm -f "$run/server.pid" "$run/speechd.pid" "$run/speech-dispatcher/speechd.sock"
}

case $action in
  start) start "$@" ;;
  stop) [ $# -eq 0 ] || usage; stop ;;
  address) [ $# -eq 0 ] || usage; address ;;
  *) usage ;;
esac
