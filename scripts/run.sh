#!/usr/bin/env bash
# Installs what is missing, builds, and starts the letter game in a real window.
# Arguments go to the game: scripts/run.sh --simulate SCRIPT [--seed N]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSONARA_WERROR=OFF
if [ -z "${DISPLAY:-}" ] && [ "${1:-}" != "--simulate" ]; then
  echo "run: no display; the game needs a window. On a machine without one:" >&2
  echo "  xvfb-run -a scripts/run.sh        (a virtual display)" >&2
  echo "  scripts/run.sh --simulate tests/scenarios/box-keys.script" >&2
  exit 1
fi
exec build/game/pipoco "$@"
