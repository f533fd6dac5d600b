#!/usr/bin/env bash
# clang-tidy (the checks of .clang-tidy) over every file of src/ that a
# build's compile_commands.json compiles, in parallel; fails on any finding.
#   tidy.sh BUILD_DIR [JOBS]
# A header's finding is printed once, however many files include it; the
# summary counts findings per check.
set -euo pipefail
build=${1:?usage: tidy.sh BUILD_DIR [JOBS]}
jobs=${2:-$(nproc)}
root=$(cd "$(dirname "$0")/.." && pwd)
tidy=${CLANG_TIDY:-clang-tidy-14}
db="$build/compile_commands.json"
[ -f "$db" ] || { echo "tidy.sh: no $db (configure the build first)" >&2; exit 2; }

files=$(python3 - "$db" "$root/src/" <<'EOF'
import json, sys
db, prefix = sys.argv[1], sys.argv[2]
print("\n".join(sorted({e["file"] for e in json.load(open(db)) if e["file"].startswith(prefix)})))
EOF
)
[ -n "$files" ] || { echo "tidy.sh: $db compiles nothing under src/" >&2; exit 2; }

out=$(mktemp)
trap 'rm -f "$out"' EXIT
# -Wno-unknown-warning-option: the database is GCC's, whose warning flags
# clang may not know. clang-tidy's exit status is not used: it is non-zero
# only for errors, and a finding is a warning.
status=0
printf '%s\n' "$files" | xargs -d '\n' -P "$jobs" -n 4 "$tidy" -p "$build" --quiet \
    --extra-arg=-Wno-unknown-warning-option >"$out" 2>/dev/null || status=$?

# A file clang could not parse shows as an error: that fails too.
findings=$(grep -E '^/.*: (warning|error): ' "$out" | sort -u || true)
if [ -z "$findings" ] && [ "$status" -eq 0 ]; then
    echo "clang-tidy: $(printf '%s\n' "$files" | wc -l) files of src/, no findings"
    exit 0
fi
# Each finding with the lines clang-tidy shows under it, once.
awk '/^\/.*: (warning|error): / { show = !seen[$0]++ } show' "$out"
echo
echo "clang-tidy findings per check:"
printf '%s\n' "$findings" | sed -E 's/.*\[([^]]+)\]$/\1/' | sort | uniq -c | sort -rn
[ -n "$findings" ] || echo "clang-tidy exited with status $status"
exit 1
