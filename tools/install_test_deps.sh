#!/usr/bin/env bash
# Installs what the build and the tests need on Debian (run as root).
# Idempotent: packages already present are not fetched again.
set -euo pipefail

packages=(
    cmake g++ make clang libclang-rt-14-dev      # build, sanitizers, libFuzzer
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    python3 python3-pexpect python3-html5lib     # end-to-end tests
    gnumeric                                     # ssconvert recalculates the generated formulas
    g++-mingw-w64-x86-64-posix wine wine64       # the Windows build and its tests
    tmux                                         # a real console for the Windows program
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
