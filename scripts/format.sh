#!/usr/bin/env bash
# .clang-format over the C++ files git tracks (nothing generated, nothing
# untracked), in parallel.
#   format.sh check [JOBS]   lists the files that differ from it and fails
#   format.sh apply [JOBS]   rewrites them in place
set -euo pipefail
mode=${1:?usage: format.sh check|apply [JOBS]}
jobs=${2:-$(nproc)}
cd "$(dirname "$0")/.."
format=${CLANG_FORMAT:-clang-format-14}

files() { git ls-files -z -- '*.cpp' '*.h'; }

case "$mode" in
apply)
    files | xargs -0 -P "$jobs" -n 40 "$format" -i
    ;;
check)
    # Each file whose formatted text differs, one line each (short writes,
    # so the parallel runs' lines do not mix).
    differ=$(files | xargs -0 -P "$jobs" -n 40 sh -c \
        'for f; do "$0" "$f" | cmp -s - "$f" || echo "$f"; done' "$format" | sort)
    if [ -n "$differ" ]; then
        # The first few differences in full, then every file that has one.
        for f in $(printf '%s\n' "$differ" | head -n 3); do
            "$format" "$f" | diff -u --label "$f" --label "$f (formatted)" "$f" - | head -n 30 || true
        done
        echo
        echo "Not in the house style ($(printf '%s\n' "$differ" | wc -l) files; make format applies .clang-format):"
        printf '  %s\n' $differ
        exit 1
    fi
    echo "clang-format: $(files | tr -cd '\0' | wc -c) files, all in the house style"
    ;;
*)
    echo "usage: format.sh check|apply [JOBS]" >&2
    exit 2
    ;;
esac
