#!/usr/bin/env bash
# Sets up the machine, builds, and starts the main program on the sample project, which
# scripts/demo-samples.sh prepares (where the demo lives is told there). The run log is vtl.log
# in TMP. Without a display, scripts/run-headless.sh runs the sample batch instead.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh vtl_programs

if [ ! -x build/out/VTL.exe ]; then
    echo "run.sh: build/out/VTL.exe was not built; see the build output above." >&2
    exit 1
fi
if [ -z "${DISPLAY:-}" ]; then
    echo "run.sh: no X display (DISPLAY is not set), so the main window cannot be shown." >&2
    echo "        Start it from a desktop session, or run the sample batch without a screen:" >&2
    echo "        ./scripts/run-headless.sh [OUTDIR]" >&2
    echo "        (it leaves the run log and a picture of each drawing in OUTDIR)" >&2
    exit 1
fi

# shellcheck source=scripts/demo-samples.sh
. ./scripts/demo-samples.sh

echo "Vistrel on the sample project"
echo "  configuration: $ini"
echo "  header files:  $samples/project"
echo "  platform home: $VTL_PLATFORM_HOME"
echo "  run log:       ${TMP:-${TMPDIR:-/tmp}}/vtl.log"
exec build/out/VTL.exe
