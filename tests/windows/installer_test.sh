#!/usr/bin/env bash
# The Windows setup program under Wine, in the Windows build's prefix: a
# silent install into a folder of its own, then its files, Start-menu entry
# and Add/Remove Programs entry, the installed CLI run once, and a silent
# uninstall, after which none of them may be left.
# Usage: installer_test.sh WINDOWS_BUILD_DIR SETUP_EXE VERSION
set -euo pipefail
build=$1 setup=$2 version=$3
[ -f "$setup" ] || { echo "no $setup: make windows-package builds it" >&2; exit 1; }
. "$build/wine-env.sh"

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# /D= must come last and unquoted, so the folder has no spaces.
dir_win='C:\varnel-setup-test\varnelcfg'
dir="$WINEPREFIX/drive_c/varnel-setup-test/varnelcfg"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/varnelcfg.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\varnelcfg'
files=(varnelcfg.exe varnelcfg-cli.exe README.txt LICENSE.txt uninstall.exe)

# reg prints "    NAME    TYPE    VALUE" with CR LF line ends.
reg_value() {
  wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$1 *REG_[A-Z]* *//p"
}
expect_value() {
  local got
  got=$(reg_value "$1")
  [ "$got" = "$2" ] || fail "$1 is '$got', not '$2'"
}

rm -rf "$(dirname "$dir")"
wine "$setup" /S "/D=$dir_win" || fail "the setup program exited with $?"

for f in "${files[@]}"; do
  [ -f "$dir/$f" ] || fail "$f was not installed"
done
cmp -s "$dir/varnelcfg-cli.exe" "$build/src/cli/varnelcfg-cli.exe" ||
  fail "the installed varnelcfg-cli.exe is not the build's"
# The link keeps its target's path as plain text.
grep -qaF "$dir_win\\varnelcfg.exe" "$shortcut" 2>/dev/null || fail "no Start-menu shortcut to varnelcfg.exe"

expect_value DisplayName varnelcfg
expect_value DisplayVersion "$version"
expect_value Publisher "The varnelcfg developers"
expect_value UninstallString "\"$dir_win\\uninstall.exe\""
expect_value InstallLocation "$dir_win"
expect_value DisplayIcon "$dir_win\\varnelcfg.exe"
expect_value NoModify 0x1
expect_value NoRepair 0x1
size=$(reg_value EstimatedSize)
# At least the two programs' size in KiB, and not wildly more.
least=$(( ($(stat -c %s "$build/src/win32/varnelcfg.exe") + $(stat -c %s "$build/src/cli/varnelcfg-cli.exe")) / 1024 ))
if [[ ! $size =~ ^0x[0-9a-f]+$ ]] || (( size < least || size > 2 * least )); then
  fail "EstimatedSize is '$size', not about $least KiB"
fi

cli_version=$(wine "$dir/varnelcfg-cli.exe" --version | tr -d '\r') || fail "the installed varnelcfg-cli.exe failed"
[ "$cli_version" = "varnelcfg-cli $version" ] || fail "the installed CLI says '$cli_version'"

# The uninstaller copies itself to TEMP, starts the copy and returns at once
# (so it can delete its own file): wait for the copy to finish.
wine "$dir/uninstall.exe" /S || fail "the uninstaller exited with $?"
for _ in $(seq 120); do
  [ -e "$dir" ] || [ -e "$shortcut" ] || wine reg query "$key" >/dev/null 2>&1 || break
  sleep 0.5
done

[ ! -e "$dir" ] || fail "the uninstaller left $(ls "$dir" | tr '\n' ' ')in the folder"
[ ! -e "$shortcut" ] || fail "the uninstaller left the Start-menu shortcut"
! wine reg query "$key" >/dev/null 2>&1 || fail "the uninstaller left the Uninstall key"

[ "$failures" -eq 0 ] || { echo "$failures checks failed" >&2; exit 1; }
echo "installed, ran and uninstalled varnelcfg $version"
