#!/usr/bin/env bash
# run_in_xvfb.sh WORKDIR PROGRAM [ARGS...] -- runs an in-process test program
# in a private Xvfb with Mesa's software renderer (as the golden tests do),
# WORKDIR holding the X server's log and whatever the program writes.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=SCRIPTDIR/../golden/golden_lib.sh
source "$HERE/../golden/golden_lib.sh"
WORK=${1:?usage: run_in_xvfb.sh WORKDIR PROGRAM [ARGS...]}
shift
rm -rf "$WORK"
mkdir -p "$WORK"
golden_start_xvfb "$WORK"
"$@"
