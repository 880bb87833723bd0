#!/usr/bin/env bash
# Sets up the machine, builds, and runs the sample batch without a screen: the main window on a
# virtual X display, driven as a user would drive it (the sample header files chosen, Start
# pressed, the final message read). It prints that message and leaves in OUTDIR:
#   vtl.log            the run log
#   overview-NAME.png  a picture of each overview drawing the run made (NAME.vtl)
#   view3d-NAME.png    each 3-D view (NAME.I3D), view2d.png the last one's 2-D conversion
#   coversheet-NAME.png  each cover sheet (NAME.ics)
# The demo itself (sample copy, platform home) is prepared by scripts/demo-samples.sh; OUTDIR
# defaults to output/ in the demo's folder.
#
# Usage: ./scripts/run-headless.sh [OUTDIR]
set -euo pipefail
out="${1:+$(realpath -m -- "$1")}"
cd "$(dirname "$0")/.."
./scripts/setup.sh vtl_programs

runner=build/generator/vtl_headless_run
for program in build/out/VTL.exe "$runner" build/out/standins/ustation.exe; do
    if [ ! -x "$program" ]; then
        echo "run-headless.sh: $program was not built; see the build output above." >&2
        exit 1
    fi
done

# shellcheck source=scripts/demo-samples.sh
. ./scripts/demo-samples.sh
out="${out:-$demo/output}"
mkdir -p "$out"
rm -f "$out/vtl.log" "$out"/overview-*.png "$out"/iso-*.png "$out"/plot-*.png "$out"/view3d-*.png \
    "$out"/view2d.png "$out"/coversheet-*.png
# The run log is vtl.log in TMP; the run's batch files go to TEMP.
export TMP="$demo/tmp" TEMP="$demo/tmp"
mkdir -p "$TMP"
rm -f "$TMP/vtl.log" "$TMP/I3D2D.dgn"
# Qt wants a private runtime folder, which a machine without a login session lacks.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    export XDG_RUNTIME_DIR="$TMP/runtime"
    mkdir -m 700 "$XDG_RUNTIME_DIR" 2>/dev/null || chmod 700 "$XDG_RUNTIME_DIR"
fi

shopt -s nullglob
headers=("$samples"/project/*.h "$samples"/project/*.h1)
# The first plot queue of the configuration, a network path, is the one the demo plots on.
plotter="$(sed -n 's/^IPlotque1=//p' "$ini" | tr -d '\r')"
queue="$VTL_PLATFORM_HOME/plotqueues/$(printf '%s' "${plotter#\\\\}" | tr '\\' /)"
rm -f "$queue"/*.png
echo "Vistrel on the sample project, without a screen"
echo "  header files: ${headers[*]##*/}"
echo "  plot queue:   $plotter"
status=0
xvfb-run -a -s "-screen 0 1280x1024x24" "$runner" --plotter "$plotter" build/out "${headers[@]}" ||
    status=$?

[ -f "$TMP/vtl.log" ] && cp "$TMP/vtl.log" "$out/vtl.log"
pictures=()
for drawing in "$samples"/project/*.vtl; do
    picture="$out/overview-$(basename "$drawing" .vtl).png"
    build/out/standins/ustation.exe --render "$drawing" "$picture" && pictures+=("$picture")
done

# The 3-D view of each pipeline, the 2-D conversion of the last one (the run's working file in
# TMP), and each cover sheet.
for drawing in "$samples"/project/*.I3D; do
    picture="$out/view3d-$(basename "$drawing" .I3D).png"
    build/out/standins/ustation.exe --render "$drawing" "$picture" && pictures+=("$picture")
done
if [ -f "$TMP/I3D2D.dgn" ]; then
    build/out/standins/ustation.exe --render "$TMP/I3D2D.dgn" "$out/view2d.png" &&
        pictures+=("$out/view2d.png")
fi
for drawing in "$samples"/project/*.ics; do
    picture="$out/coversheet-$(basename "$drawing" .ics).png"
    build/out/standins/ustation.exe --render "$drawing" "$picture" && pictures+=("$picture")
done
for drawing in "$samples"/project/*.i[0-9][0-9]; do
    picture="$out/iso-$(basename "$drawing").png"
    build/out/standins/ustation.exe --render "$drawing" "$picture" && pictures+=("$picture")
done
for plot in "$queue"/*.png; do
    cp "$plot" "$out/plot-$(basename "$plot")" && pictures+=("$out/plot-$(basename "$plot")")
done

echo "Results in $out"
echo "  run log:  $out/vtl.log"
for picture in "${pictures[@]}"; do echo "  picture:  $picture"; done
echo "  drawings: $samples/project/*.vtl, *.I3D, *.ics, *.i01, ... (ogrinfo -al FILE lists their elements)"
echo "  plot queue: $queue"
echo "  MicroStation journal: $VTL_PLATFORM_HOME/ustation-journal.log"
exit "$status"
