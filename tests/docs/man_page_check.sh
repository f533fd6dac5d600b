#!/usr/bin/env bash
# Fails when a program has a subcommand or option that its manual page does
# not mention. The options come from the program's own --help (and each
# subcommand's), so a new option cannot be added without its page noticing.
#   man_page_check.sh PAGE PROGRAM
# A subcommand needs an entry of its own: a .TP tag starting with its name
# ("script compile" for a nested one). An option needs only to appear.
set -euo pipefail
page=$1
program=$2
[ -r "$page" ] || { echo "no manual page $page" >&2; exit 1; }

# The page as text: roff's \- is a hyphen, font changes go.
text=$(sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' -e 's/\\(en/-/g' "$page")
# Every .TP tag, its macro and quotes removed.
tags=$(printf '%s\n' "$text" | awk 'tp { sub(/^\.[A-Z]+ */, ""); gsub(/"/, ""); print; tp = 0 } /^\.TP/ { tp = 1 }')

missing=0
report() { echo "$(basename "$page"): $1 is not mentioned" >&2; missing=1; }

# Options: the names in the first column of each option line of a help text.
options_of() {
  sed -n 's/^ \{1,\}\(-[^ ].*\)$/\1/p' | sed 's/  .*//' | grep -oE '(^|[ ,])--?[A-Za-z][A-Za-z0-9-]*' | tr -d ' ,'
}
# Subcommands: the first word of each line under "Subcommands:".
subcommands_of() {
  awk '/^Subcommands:/ { on = 1; next } on && /^[^ ]/ { on = 0 } on && NF { print $1 }'
}

check() {  # the words of a command line, program first
  local help where="${*:2}"
  help=$("$@" --help) || { echo "'$* --help' failed" >&2; exit 1; }
  for option in $(printf '%s\n' "$help" | options_of); do
    # Here-strings, not pipes: grep -q stops at the first match, and with
    # pipefail the writer's broken pipe would read as "not found".
    grep -qE -- "(^|[^A-Za-z0-9-])${option}([^A-Za-z0-9-]|$)" <<<"$text" ||
      report "${where:+$where }$option"
  done
  for sub in $(printf '%s\n' "$help" | subcommands_of); do
    local name="${where:+$where }$sub"
    grep -qE "^${name}( |$)" <<<"$tags" || report "subcommand '$name'"
    check "$@" "$sub"
  done
}

check "$program"
[ "$missing" -eq 0 ] && echo "$(basename "$page"): every subcommand and option is there"
exit "$missing"
