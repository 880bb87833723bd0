#!/usr/bin/env bash
# Sets up the machine, builds, and starts the main program on the sample project.
#
# The demo lives in the user's data folder, ${XDG_DATA_HOME:-~/.local/share}/vtl-demo (or in
# VTL_DEMO_HOME when set):
#   platform/  the stand-ins' shared state (VTL_PLATFORM_HOME): registry store, MicroStation journal
#   samples/   a fresh copy of samples/ for every start, so a run's drawings never touch the sources
# The configuration used is samples/project/vtl-sample.ini of that copy, with @SAMPLES@ replaced by
# the copy's path; the pointer INI build/out/vtl.ini names it. The run log is vtl.log in TMP.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
./scripts/setup.sh

if [ ! -x build/out/VTL.exe ]; then
    echo "run.sh: build/out/VTL.exe was not built; see the build output above." >&2
    exit 1
fi
if [ -z "${DISPLAY:-}" ]; then
    echo "run.sh: no X display (DISPLAY is not set), so the main window cannot be shown." >&2
    echo "        Start it from a desktop session, or under a virtual display:" >&2
    echo "        xvfb-run -a ./scripts/run.sh" >&2
    exit 1
fi

demo="${VTL_DEMO_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/vtl-demo}"
export VTL_PLATFORM_HOME="$demo/platform"
mkdir -p "$VTL_PLATFORM_HOME"
./scripts/register-standins.sh

# A fresh copy of the samples, and its configuration with the copy's real path.
samples="$demo/samples"
rm -rf "$samples"
mkdir -p "$samples"
cp -R samples/. "$samples/"
# The binary sample files (seeds, cell library) are made by the build.
cp -R build/samples/. "$samples/"
template="$(cat "$root/samples/project/vtl-sample.ini")"
ini="$samples/project/vtl-sample.ini"
printf '%s\n' "${template//@SAMPLES@/$samples}" >"$ini"
printf '[Programm]\ninifile=%s\n' "$ini" >build/out/vtl.ini

echo "Vistrel on the sample project"
echo "  configuration: $ini"
echo "  header files:  $samples/project (and its iso/ folder)"
echo "  platform home: $VTL_PLATFORM_HOME"
echo "  run log:       ${TMP:-${TMPDIR:-/tmp}}/vtl.log"
exec build/out/VTL.exe
