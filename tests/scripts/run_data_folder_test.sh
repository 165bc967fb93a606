#!/usr/bin/env bash
# The folder scripts/run starts the program in: $XDG_DATA_HOME/quavix when
# XDG_DATA_HOME is an absolute path, else ~/.local/share/quavix (unset,
# empty, or relative, which the XDG base directory rules say to ignore).
# The script runs as it stands, from a copy of the tree whose set-up, cmake
# and program are stand-ins; the program prints the folder it started in.
set -euo pipefail
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
work=$(cd "$work" && pwd -P)
mkdir -p "$work/tree/scripts" "$work/tree/build" "$work/bin" "$work/home"
cp "$source_dir/scripts/run" "$work/tree/scripts/run"
printf '#!/bin/sh\n' >"$work/tree/scripts/setup"
printf '#!/bin/sh\n' >"$work/bin/cmake"
printf '#!/bin/sh\npwd -P\n' >"$work/tree/build/quavix"
chmod +x "$work/bin/cmake" "$work/tree/build/quavix"

failures=0
check() {  # what, expected folder, then the environment to run with
  local what=$1 expected=$2
  shift 2
  local started
  started=$(cd "$work" && env -u XDG_DATA_HOME HOME="$work/home" PATH="$work/bin:$PATH" "$@" \
    bash "$work/tree/scripts/run")
  if [ "$started" != "$expected" ]; then
    echo "FAIL $what: started in $started, expected $expected"
    failures=$((failures + 1))
  fi
}

default="$work/home/.local/share/quavix"
check "unset" "$default"
check "empty" "$default" XDG_DATA_HOME=
check "relative" "$default" XDG_DATA_HOME=rel/data
check "relative, dot" "$default" XDG_DATA_HOME=./data
check "absolute" "$work/xdg/quavix" XDG_DATA_HOME="$work/xdg"
for relative in "$work/rel" "$work/tree/rel" "$work/data" "$work/tree/data"; do
  if [ -e "$relative" ]; then
    echo "FAIL a relative XDG_DATA_HOME made $relative"
    failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ] && echo "scripts/run starts in the right folder in every case"
exit "$failures"
