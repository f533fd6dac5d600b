#!/usr/bin/env bash
# Includes run downwards only. Each folder of src/ names the folders it may
# include besides itself; a new folder must be added here before it builds on
# anything. Prints each include that runs the wrong way and fails on any.
set -u
cd "$(dirname "$0")/../src" || exit 2

declare -A may=(
  [core]=""
  [device]="core"
  # The serial ports: one interface, a backend and a port list per platform.
  [serial]="core"
  [config]="core device"
  [session]="core device serial config"
  [script]="core device serial config session"
  [firmware]="core device serial config session"
  [link]="core device serial config session firmware"
  [forms]="core device serial config session script firmware link"
  [shell]="core device serial config session script firmware link forms"
  [ui]="core device serial config session script firmware link forms shell"
  [win32]="core device serial config session script firmware link forms shell layouts"
  [app]="core device serial config session script firmware link forms shell ui"
  [cli]="core device serial config session script firmware link forms shell"
  [emulator]="core device serial config firmware link"
  # The layouts the front ends' windows are drawn from, and the generators
  # that read them.
  [layouts]="core device serial config session script firmware link forms"
  # The page: a front end like ui/ and win32/, with the emulated tracker
  # inside.
  [web]="core device serial config session script firmware link forms shell emulator layouts"
)

status=0
while IFS= read -r -d '' file; do
  from=${file%%/*}
  if [[ -z ${may[$from]+set} ]]; then
    echo "src/$file: folder '$from' has no place in scripts/check-layers.sh"
    status=1
    continue
  fi
  while IFS= read -r to; do
    [[ $to == "$from" ]] && continue
    [[ " ${may[$from]} " == *" $to "* ]] && continue
    echo "src/$file: includes $to/ (a $from/ file may include: ${may[$from]:-nothing outside $from/})"
    status=1
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([a-z0-9_]*\)\/.*/\1/p' "$file" | sort -u)
done < <(find . \( -name '*.h' -o -name '*.cpp' \) -print0 | sed -z 's#^\./##')
[[ $status -eq 0 ]] && echo "layers: every include runs downwards"
exit $status
