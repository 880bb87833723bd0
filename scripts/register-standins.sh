#!/usr/bin/env bash
# Lists the built stand-in MicroStation as an installation in the registry store of
# VTL_PLATFORM_HOME (or the user's default platform folder).
set -euo pipefail
cd "$(dirname "$0")/.."
standins="$(pwd)/build/out/standins"
if [ -x "$standins/ustation.exe" ] && [ -x "$standins/reg.exe" ]; then
    key='HKLM\Software\Bentley\MicroStation\07.01 Stand-in'
    "$standins/reg.exe" add "$key" /v PathName /t REG_SZ /d "$standins/ustation.exe" /f >/dev/null
    "$standins/reg.exe" add "$key" /v Version /t REG_SZ /d "07.01.00.00" /f >/dev/null
fi
