#!/usr/bin/env bash
# Sets up the machine, builds, and starts the main program on the sample project.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
if [ -x build/out/VTL.exe ]; then
    exec build/out/VTL.exe
fi
echo "Built. The main program VTL.exe is not built yet: it will start here, on the sample project"
echo "in samples/. The support library and the stand-in programs are in build/out."
