#!/usr/bin/env bash
# Runs the tool's main job as far as it is built: for now a summary of the
# bundled sample configuration.
set -euo pipefail
build=${1:-build}
"$build/src/cli/varnelcfg-cli" info samples/ap64-demo.s19
