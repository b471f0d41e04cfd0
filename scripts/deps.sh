#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
# Packages named as arguments are installed the same way (a script needing a tool
# the tests do not, e.g. scripts/coverage.sh and gcovr).
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    googletest libgtest-dev libbenchmark-dev
    clang libclang-rt-14-dev clang-format clang-tidy
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64 fonts-wine xvfb xauth x11-utils fonts-ipafont-gothic
    imagemagick locales zip unzip python3
    zlib1g-dev libz-mingw-w64-dev libstb-dev nlohmann-json3-dev
    "$@"
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine takes its ANSI code page from the locale: ja_JP.UTF-8 gives code page 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
