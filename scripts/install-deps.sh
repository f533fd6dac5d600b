#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Idempotent: it asks
# apt only for what is missing, so running it before every build costs nothing.
#   install-deps.sh           what make build, make test and make demo need
#   install-deps.sh windows   also MinGW-w64 and Wine, for make windows / test-windows
#   install-deps.sh windows-package  also NSIS, for make windows-package
#   install-deps.sh clang     also clang, for make test-clang
#   install-deps.sh web       also Emscripten, for make web
#   install-deps.sh web-test  also Chromium and npm, for make test-web
#   install-deps.sh --bench   also srecord, for make bench
#   install-deps.sh package   also dpkg-dev, file and lintian, for make package
#   install-deps.sh format    also clang-format 14, for make format / format-check
#   install-deps.sh tidy      also clang-tidy 14, for make tidy
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libcli11-dev
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  xvfb xauth appstream desktop-file-utils
  # The accessibility bus and its Python bindings: the screen-reader smoke
  # test reads the desktop program through them.
  at-spi2-core python3-pyatspi dbus
)
for extra in "$@"; do
  case "$extra" in
    # The cross compiler, GoogleTest's sources to build with it, and Wine to
    # run the result.
    windows) packages+=(g++-mingw-w64-x86-64-posix googletest wine wine64) ;;
    windows-package) packages+=(nsis) ;;
    clang) packages+=(clang) ;;
    # Emscripten (its Node for the optimiser and binaryen come with it).
    web) packages+=(emscripten nodejs) ;;
    # The page's tests drive Debian's Chromium through puppeteer-core (npm,
    # which comes with Node; Debian's own npm package only where Node has none).
    web-test)
      packages+=(emscripten nodejs chromium)
      command -v npm >/dev/null || packages+=(npm) ;;
    # make bench compares S-record loading with srec_cat; nothing else needs it.
    --bench) packages+=(srecord) ;;
    # make fuzz builds the fuzz programs with clang and its libFuzzer runtime.
    --fuzz) packages+=(clang libclang-rt-dev) ;;
    # CPack's Depends come from dpkg-shlibdeps, which needs file(1); lintian
    # checks the result.
    package) packages+=(dpkg-dev file lintian) ;;
    # The style and the checks are those of version 14: another version
    # formats and checks a little differently.
    format) packages+=(clang-format-14) ;;
    tidy) packages+=(clang-tidy-14 python3) ;;
    *) echo "install-deps.sh: unknown extra '$extra'" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
