# shellcheck shell=bash
# Sourced by run.sh and run-headless.sh from the project root, after the build: prepares the demo.
#
# The demo lives in the user's data folder, ${XDG_DATA_HOME:-~/.local/share}/vtl-demo (or in
# VTL_DEMO_HOME when set):
#   platform/  the stand-ins' shared state (VTL_PLATFORM_HOME): registry store, MicroStation journal
#   samples/   a fresh copy of samples/ for every start, so a run's drawings never touch the sources
# The configuration used is samples/project/vtl-sample.ini of that copy, with @SAMPLES@ replaced by
# the copy's path; the pointer INI build/out/vtl.ini names it.
# Sets: demo, samples, ini; exports VTL_PLATFORM_HOME.

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
ini="$samples/project/vtl-sample.ini"
template="$(cat samples/project/vtl-sample.ini)"
printf '%s\n' "${template//@SAMPLES@/$samples}" >"$ini"
printf '[Programm]\ninifile=%s\n' "$ini" >build/out/vtl.ini
