#!/usr/bin/env bash
# Installs what is missing, builds, and starts the letter game in a real window.
# Arguments go to the game: scripts/run.sh --simulate SCRIPT [--seed N]
set -euo pipefail
cd "$(dirname "$0")/.."
# The display first: no point building for minutes to say there is nowhere to show it.
if [ -z "${DISPLAY:-}" ] && [ "${1:-}" != "--simulate" ]; then
  echo "run: no display; the game needs a window. On a machine without one:" >&2
  echo "  xvfb-run -a scripts/run.sh        (a virtual display)" >&2
  echo "  scripts/run.sh --simulate tests/scenarios/box-keys.script" >&2
  exit 1
fi
scripts/setup-deps.sh
# The same options as the test script's normal build, so the two share one build.
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSONARA_WERROR=ON
exec build/game/pipoco "$@"
