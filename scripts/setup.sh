#!/usr/bin/env bash
# Installs the Debian packages the project needs (only those missing) and builds it into build/:
# everything, or only the given targets (./scripts/setup.sh vtl_programs builds the programs).
# Safe to run again: an installed package is not installed twice, and the build is incremental.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev libx11-dev
    libxlsxwriter-dev libfreexl-dev libminizip-dev libexpat1-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth openbox x11-utils xdg-utils
    gdal-bin
    python3-openpyxl python3-xlwt
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# CI treats warnings as errors. The setting stays in the build folder's cache: a later run
# without CI keeps it rather than switch it off, since a changed compile flag rebuilds everything.
ci_flags=()
[ "${CI:-}" = "true" ] && ci_flags=(-DVTL_WARNINGS_AS_ERRORS=ON)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${ci_flags[@]+"${ci_flags[@]}"}
if [ $# -gt 0 ]; then
    cmake --build build --target "$@"
else
    cmake --build build
fi

# The stand-in MicroStation is listed as an installation in the registry store, as a real
# installation lists itself.
"$(pwd)/scripts/register-standins.sh"
