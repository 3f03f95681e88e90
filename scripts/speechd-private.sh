#!/usr/bin/env bash
# A private, headless speech-dispatcher for the tests and measurements: its own runtime,
# configuration and log directories under DIR, no autospawn, audio to ALSA's "null"
# device (no sound card or sound server needed), Debian's espeak-ng output module and
# Brazilian Portuguese by default, logging every text and audio block (level 5).
#
#   scripts/speechd-private.sh start DIR [--sonara-module SONARA | --config CONF]
#         [--log-level N]
#       Starts the server and prints the client address; with --sonara-module it also
#       offers our output module ("sonara", data/speech-dispatcher/sonara.conf), running
#       the sonara tool SONARA. With --config it runs a copy of the configuration
#       directory CONF (a user's speechd.conf and modules/) instead, its log, autospawn
#       and audio settings overridden as above. --log-level: 1..5 instead of 5 (at 5 the
#       log holds every audio block in hexadecimal). Clients use
#       SPEECHD_ADDRESS=<the printed address>.
#   scripts/speechd-private.sh stop DIR
#       Stops it (and its output modules) and removes nothing but the socket and pid file.
#   scripts/speechd-private.sh address DIR
#       Prints the client address of a server started in DIR.
#
# `start` leaves in DIR: run/ (XDG_RUNTIME_DIR, the socket), config/speech-dispatcher/
# (speechd.conf, modules/), log/ (speech-dispatcher.log and the modules' logs).
# Environment variables set for `start` (PATH among them) reach the output modules.
set -euo pipefail
shopt -u patsub_replacement 2>/dev/null || true

repo=$(cd "$(dirname "$0")/.." && pwd)

usage() {
  echo "usage: $0 start DIR [--sonara-module SONARA | --config CONF] [--log-level N]" \
    "| stop DIR | address DIR" >&2
  exit 2
}

[ $# -ge 2 ] || usage
action=$1
dir=$2
shift 2

address() { echo "unix_socket:$dir/run/speech-dispatcher/speechd.sock"; }

start() {
  local sonara= config= level=5
  while [ $# -gt 0 ]; do
    case $1 in
      --sonara-module) [ $# -ge 2 ] || usage; sonara=$(realpath "$2"); shift 2 ;;
      --config) [ $# -ge 2 ] || usage; config=$2; shift 2 ;;
      --log-level) [ $# -ge 2 ] && [[ $2 =~ ^[1-5]$ ]] || usage; level=$2; shift 2 ;;
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
  if [ -f "$run/server.pid" ] && kill -0 "$(cat "$run/server.pid")" 2>/dev/null; then
    echo "speechd-private: a server already runs in $dir" >&2
    exit 1
  fi
  mkdir -p "$run/speech-dispatcher" "$conf/modules" "$log"
  chmod 700 "$run" "$run/speech-dispatcher" "$dir/config" "$conf" "$log"
  local headless=("LogLevel $level" "LogDir \"$log\"" "DisableAutoSpawn"
    "AudioOutputMethod \"alsa\"" "AudioALSADevice \"null\"")
  if [ -n "$config" ]; then
    cp -R "$config/." "$conf/"
    printf '%s\n' "${headless[@]}" >>"$conf/speechd.conf"
  else
    cp /etc/speech-dispatcher/modules/espeak-ng.conf "$conf/modules/"
    {
      printf '%s\n' "${headless[@]}"
      echo "AddModule \"espeak-ng\" \"sd_espeak-ng\" \"espeak-ng.conf\""
      if [ -n "$sonara" ]; then
        local template
        template=$(cat "$repo/data/speech-dispatcher/sonara.conf")
        printf '%s\n' "${template//@SONARA@/$sonara}" >"$conf/modules/sonara.conf"
        echo "AddModule \"sonara\" \"sd_generic\" \"sonara.conf\""
      fi
      echo "DefaultModule espeak-ng"
      echo "DefaultLanguage \"pt-BR\""
    } >"$conf/speechd.conf"
  fi
  rm -f "$run/speech-dispatcher/speechd.sock" "$run/speechd.pid"

  # -t 0: no idle timeout; the server runs until `stop`. setsid: a process group of its
  # own, so `stop` reaches the output modules it forked as well.
  XDG_RUNTIME_DIR=$run XDG_CONFIG_HOME=$dir/config setsid speech-dispatcher -s -t 0 -l "$level" \
    -L "$log" -C "$conf" -m "$modules" -c unix_socket \
    -S "$run/speech-dispatcher/speechd.sock" -P "$run/speechd.pid" \
    </dev/null >"$log/server.out" 2>&1 &
  echo $! >"$run/server.pid"
  for _ in $(seq 100); do
    [ -S "$run/speech-dispatcher/speechd.sock" ] && break
    kill -0 "$(cat "$run/server.pid")" 2>/dev/null || break
    sleep 0.1
  done
  # The server's own record of its pid (setsid forks when started by a job-control shell).
  [ -s "$run/speechd.pid" ] && cp "$run/speechd.pid" "$run/server.pid"
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
