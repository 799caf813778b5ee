#!/usr/bin/env bash
# Installs what building and testing need, on Debian 12 as root. Idempotent:
# packages already present are not touched, and apt is not even asked then.
#   scripts/setup.sh native    compilers, CMake, GoogleTest, clang for fuzzing, zlib, LibreOffice Calc
#                              (headless, to open the workbooks the tests write)
#   scripts/setup.sh windows   native + mingw-w64 and its zlib, Wine (32- and 64-bit), Xvfb, a CJK font
set -euo pipefail

native_packages=(g++ make cmake googletest libgtest-dev libbenchmark-dev clang libclang-rt-14-dev libc6-dev zip
                 zlib1g-dev unzip libreoffice-calc-nogui clang-format clang-tidy)
windows_packages=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 wine32:i386 xvfb xauth x11-apps
                  xdotool imagemagick fonts-wqy-microhei libz-mingw-w64-dev)

missing_packages() {
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || echo "$package"
  done
}

install_packages() {
  local missing
  missing=$(missing_packages "$@")
  [ -z "$missing" ] && return 0
  echo "setup: installing $(echo $missing | tr '\n' ' ')" >&2
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  # shellcheck disable=SC2086
  $sudo apt-get install -y -qq $missing >/dev/null
}

mode=${1:-native}
case "$mode" in
  native) install_packages "${native_packages[@]}" ;;
  windows)
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      [ "$(id -u)" -eq 0 ] && dpkg --add-architecture i386 || sudo dpkg --add-architecture i386
    fi
    install_packages "${native_packages[@]}" "${windows_packages[@]}"
    ;;
  *) echo "usage: $0 native|windows" >&2; exit 2 ;;
esac
