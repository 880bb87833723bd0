#!/usr/bin/env bash
# Sets up the machine, builds, and runs Tarnwell once without a screen: its main window on a
# virtual X display, driven as a user would drive it. The folder and the workbook are set in the
# window (the folder's design files with the window's extensions, default dgn,i0*, searched with
# its sub-folders), the button is pressed, a question to overwrite the workbook is answered Yes,
# and the messages the run showed, its last events and the path of its log are printed.
#   extract  collects the texts of the folder's design files into WORKBOOK (a new .xlsx file;
#            an existing one is replaced)
#   replace  replaces the texts in the folder's design files as WORKBOOK's rows say
# The stand-in MicroStation and its journal live in the demo's platform folder, prepared by
# scripts/demo-samples.sh, which also copies the sample iso drawings to samples/project/ there.
# Exits with 0 when the run went well (whatever question it asked), 1 when it showed an error,
# 2 on a usage error (a wrong action, or an empty FOLDER or WORKBOOK).
#
# Usage: ./scripts/tarnwell-headless.sh extract|replace FOLDER WORKBOOK
set -euo pipefail
usage() {
    [ $# -eq 0 ] || echo "tarnwell-headless.sh: $1" >&2
    echo "usage: $0 extract|replace FOLDER WORKBOOK" >&2
    exit 2
}
if [ $# -ne 3 ] || { [ "$1" != extract ] && [ "$1" != replace ]; }; then
    usage
fi
[ -n "${2//[[:space:]]/}" ] || usage "FOLDER is empty"
[ -n "${3//[[:space:]]/}" ] || usage "WORKBOOK is empty"
action="$1"
folder="$(realpath -m -- "$2")"
workbook="$(realpath -m -- "$3")"
cd "$(dirname "$0")/.."
./scripts/setup.sh vtl_programs

runner=build/textreplace/tarnwell_headless_run
for program in build/out/bin/Tarnwell.exe "$runner" build/out/standins/ustation.exe; do
    if [ ! -x "$program" ]; then
        echo "tarnwell-headless.sh: $program was not built; see the build output above." >&2
        exit 1
    fi
done

# shellcheck source=scripts/demo-samples.sh
. ./scripts/demo-samples.sh
# The log goes to TEMP's folder Tarnwell/.
export TEMP="${TEMP:-$demo/tmp}" TMP="${TMP:-$demo/tmp}"
mkdir -p "$TEMP" "$TMP"
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    export XDG_RUNTIME_DIR="$TMP/runtime"
    mkdir -m 700 "$XDG_RUNTIME_DIR" 2>/dev/null || chmod 700 "$XDG_RUNTIME_DIR"
fi

echo "Tarnwell: $action, without a screen"
echo "  design files: $folder"
echo "  workbook:     $workbook"
status=0
xvfb-run -a -s "-screen 0 1280x1024x24" "$runner" build/out/bin "$action" "$folder" "$workbook" ||
    status=$?
echo "  MicroStation journal: $VTL_PLATFORM_HOME/ustation-journal.log"
exit "$status"
