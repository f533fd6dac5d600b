#!/usr/bin/env bash
# Includes run downwards only. Each folder of src/ names the folders it may
# include besides itself; a new folder must be added here before it builds on
# anything. Prints each include that runs the wrong way and fails on any.
set -u
cd "$(dirname "$0")/../src" || exit 2

declare -A may=(
  [core]=""
  [device]="core"
  [config]="core device"
  [session]="core device config"
  [script]="core device config session"
  [firmware]="core device config session"
  [link]="core device config session firmware"
  [forms]="core device config session script firmware link"
  [shell]="core device config session script firmware link forms"
  [ui]="core device config session script firmware link forms shell"
  [win32]="core device config session script firmware link forms shell"
  [app]="core device config session script firmware link forms shell ui"
  [cli]="core device config session script firmware link forms shell"
  [emulator]="core device config firmware link"
  # The page: a front end like ui/ and win32/, with the emulated tracker
  # inside; its window generator (web/pages) reads the layouts with the
  # Windows template generator's reader.
  [web]="core device config session script firmware link forms shell emulator win32"
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
