# shellcheck shell=bash
# Sourced by run.sh and run-headless.sh from the project root, after the build: prepares the demo.
#
# The demo lives in the user's data folder, ${XDG_DATA_HOME:-~/.local/share}/vtl-demo (or in
# VTL_DEMO_HOME when set):
#   platform/  the stand-ins' shared state (VTL_PLATFORM_HOME): registry store, MicroStation journal,
#              the plot queues (plotqueues/) with the plots the runs sent them
#   samples/   a copy of samples/, so a run's drawings never touch the sources
# Each start copies only the sample files that are missing there or changed in the sources since
# they were copied; nothing else in the copy is touched, so the drawings of earlier runs stay.
# The configuration used is samples/project/vtl-sample.ini of that copy, with @SAMPLES@ replaced by
# the copy's path; the pointer INI build/out/vtl.ini names it.
# Sets: demo, samples, ini; exports VTL_PLATFORM_HOME.

demo="${VTL_DEMO_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/vtl-demo}"
export VTL_PLATFORM_HOME="$demo/platform"
mkdir -p "$VTL_PLATFORM_HOME"
./scripts/register-standins.sh
# The plot queue of the sample configuration (IPlotque1=\\plotserver\iso-a3) receives the plots.
mkdir -p "$VTL_PLATFORM_HOME/plotqueues/plotserver/iso-a3"

# The copy keeps the sources' times, so a source newer than its copy is one that changed. The
# binary sample files (seeds, cell library) are made by the build.
samples="$demo/samples"
mkdir -p "$samples"
cp -R --update --preserve=timestamps samples/. "$samples/"
cp -R --update --preserve=timestamps build/samples/. "$samples/"

# A configuration just copied from its template gets the copy's real path; one configured before
# keeps what the program and the wizard wrote into it.
ini="$samples/project/vtl-sample.ini"
if grep -q '@SAMPLES@' "$ini"; then
    template="$(cat "$ini")"
    printf '%s\n' "${template//@SAMPLES@/$samples}" >"$ini"
fi
printf '[Programm]\ninifile=%s\n' "$ini" >build/out/vtl.ini
