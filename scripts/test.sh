#!/usr/bin/env bash
# Sets up the machine, builds, and runs every test under a virtual X display.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --test-dir build --output-on-failure -j "$(nproc)" --timeout 300
