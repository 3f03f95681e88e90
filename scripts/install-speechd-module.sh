#!/usr/bin/env bash
# Offers our voice to every speech-dispatcher client of the current user (a screen reader
# included) as the output module "sonara": writes modules/sonara.conf in the user's
# speech-dispatcher configuration (${XDG_CONFIG_HOME:-~/.config}/speech-dispatcher) and
# its AddModule line in the user's speechd.conf, which is first made from the system's
# configuration if the user has none. Safe to run again; --uninstall takes it all out.
#
#   scripts/install-speechd-module.sh [--sonara PATH]   (default: build/tools/sonara)
#   scripts/install-speechd-module.sh --uninstall
#
# speech-dispatcher looks for its modules by itself only while speechd.conf has no
# AddModule line: when the user's has none, the modules it would have found are listed
# beside ours, so the voices the user had stay (run it again after installing another
# speech-dispatcher voice to list that one too). To apply, restart the server:
# pkill -u "$USER" -x speech-dispatcher (the next client starts it again). SIGHUP reloads
# the configuration too, but only from the directory the server started with.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
shopt -u patsub_replacement 2>/dev/null || true

system_conf=${SONARA_SPEECHD_SYSTEM_CONF:-/etc/speech-dispatcher}
module_dir=${SONARA_SPEECHD_MODULE_DIR:-/usr/lib/speech-dispatcher-modules}
conf=${XDG_CONFIG_HOME:-$HOME/.config}/speech-dispatcher
begin_mark="# Sonara voice: begin (scripts/install-speechd-module.sh; --uninstall removes it)"
end_mark="# Sonara voice: end"

usage() {
  echo "usage: $0 [--sonara PATH] | --uninstall" >&2
  exit 2
}

sonara=$repo/build/tools/sonara
uninstall=
while [ $# -gt 0 ]; do
  case $1 in
    --sonara) [ $# -ge 2 ] || usage; sonara=$2; shift 2 ;;
    --uninstall) uninstall=1; shift ;;
    *) usage ;;
  esac
done

# speechd.conf without our block (the whole file when there is none).
without_block() {
  [ -f "$conf/speechd.conf" ] || return 0
  awk -v b="$begin_mark" -v e="$end_mark" '$0 == b { skip = 1; next }
    $0 == e { skip = 0; next } !skip' "$conf/speechd.conf"
}

if [ -n "$uninstall" ]; then
  if [ -f "$conf/speechd.conf" ]; then
    without_block >"$conf/speechd.conf.new"
    mv "$conf/speechd.conf.new" "$conf/speechd.conf"
  fi
  rm -f "$conf/modules/sonara.conf"
  echo "The sonara voice is removed from $conf; restart speech-dispatcher to apply."
  exit 0
fi

if [ ! -x "$sonara" ]; then
  echo "install-speechd-module: $sonara is missing: build it first (scripts/build.sh)" >&2
  exit 1
fi
sonara=$(cd "$(dirname "$sonara")" && pwd)/$(basename "$sonara")
# The path goes between quotes of the module's configuration and of its shell command.
case $sonara in
  *[\'\"\\\$\`]* | *$'\n'*)
    echo "install-speechd-module: the path $sonara has a quote, \\, \$ or \` in it;" \
      "use --sonara with a plainer one" >&2
    exit 1 ;;
esac

mkdir -p "$conf/modules"
if [ ! -f "$conf/speechd.conf" ]; then
  if [ ! -f "$system_conf/speechd.conf" ]; then
    echo "install-speechd-module: $system_conf/speechd.conf is missing: is speech-dispatcher" \
      "installed?" >&2
    exit 1
  fi
  # The user's configuration replaces the system's whole: the modules' and clients'
  # files come along, as speech-dispatcher reads them beside speechd.conf.
  cp -R -n "$system_conf/." "$conf/"
fi

template=$(cat "$repo/data/speech-dispatcher/sonara.conf")
printf '%s\n' "${template//@SONARA@/$sonara}" >"$conf/modules/sonara.conf.new"
mv "$conf/modules/sonara.conf.new" "$conf/modules/sonara.conf"

# The modules speech-dispatcher finds by itself: each sd_NAME of its module directory,
# and for sd_generic each modules/*-generic.conf whose commands are all installed and
# whose local TCP ports all answer.
detected_modules() {
  local binary name file cmd port ok
  for binary in "$module_dir"/sd_?*; do
    [ -f "$binary" ] || continue
    name=${binary##*/sd_}
    if [ "$name" != generic ]; then
      echo "AddModule \"$name\" \"sd_$name\" \"$name.conf\""
      continue
    fi
    for file in "$conf"/modules/*-generic.conf; do
      [ -f "$file" ] || continue
      ok=1
      while IFS= read -r cmd; do
        type "$cmd" >/dev/null 2>&1 || ok=
      done < <(grep -i '^[[:space:]]*GenericCmdDependency[[:space:]]*"' "$file" |
        sed 's/^[^"]*"\([^"]*\)".*/\1/')
      while IFS= read -r port; do
        timeout 2 bash -c "exec 3<>/dev/tcp/127.0.0.1/$port" 2>/dev/null || ok=
      done < <(grep -i '^[[:space:]]*GenericPortDependency[[:space:]]' "$file" |
        sed -n 's/^[[:space:]]*[^[:space:]]*[[:space:]]*\([0-9][0-9]*\).*/\1/p')
      [ -n "$ok" ] || continue
      file=${file##*/}
      echo "AddModule \"${file%.conf}\" \"sd_generic\" \"$file\""
    done
  done
}

without_block >"$conf/speechd.conf.new"
{
  echo "$begin_mark"
  if ! grep -qiE '^[[:space:]]*AddModule[[:space:]]' "$conf/speechd.conf.new"; then
    echo "# The modules the server found by itself before this block was added:"
    detected_modules
  fi
  echo "AddModule \"sonara\" \"sd_generic\" \"sonara.conf\""
  echo "$end_mark"
} >>"$conf/speechd.conf.new"
mv "$conf/speechd.conf.new" "$conf/speechd.conf"

echo "The sonara voice is installed in $conf (running $sonara)."
echo "Restart speech-dispatcher (pkill -u \"\$USER\" -x speech-dispatcher), then try:" \
  "spd-say -o sonara \"Olá\""
