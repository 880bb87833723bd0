#!/usr/bin/env bash
# Opens the configuration wizard on the sample project without a screen: the main window on a
# virtual X display, File > Configuration wizard..., each outer and inner page clicked and one of
# its settings changed (a bar moved, a colour picked, a grid column widened), a picture taken of
# each, then Close. It leaves in OUTDIR wizard-<page>-<inner page>.png, beside each
# mstn-<page>-<inner page>.png (the working drawing the page previews in, as MicroStation draws
# it), and wizard-screen.png (the whole screen, the stand-in MicroStation on it), and prints the
# messages the wizard showed. Close writes the changed settings back, so the wizard works on a demo
# of its own (vtl-demo-wizard beside the demo of run.sh, or VTL_DEMO_HOME), its configuration copied
# anew from the sample each time: the demo that run.sh uses keeps its configuration. The demo
# (sample copy, platform home) is prepared by scripts/demo-samples.sh; OUTDIR defaults to output/
# in that folder.
#
# Usage: ./scripts/wizard-pictures.sh [OUTDIR]
set -euo pipefail
out="${1:+$(realpath -m -- "$1")}"
cd "$(dirname "$0")/.."
./scripts/setup.sh vtl_programs vtl_wizard_screens

export VTL_DEMO_HOME="${VTL_DEMO_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/vtl-demo-wizard}"
rm -f "$VTL_DEMO_HOME/samples/project/vtl-sample.ini"
# shellcheck source=scripts/demo-samples.sh
. ./scripts/demo-samples.sh
out="${out:-$demo/output}"
mkdir -p "$out"
rm -f "$out"/wizard-*.png
# The wizard's working copies go to TEMP.
export TMP="$demo/tmp" TEMP="$demo/tmp"
mkdir -p "$TMP"
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    export XDG_RUNTIME_DIR="$TMP/runtime"
    mkdir -m 700 "$XDG_RUNTIME_DIR" 2>/dev/null || chmod 700 "$XDG_RUNTIME_DIR"
fi
xvfb-run -a -s "-screen 0 1280x1024x24" build/wizard/vtl_wizard_screens build/out "$out"
