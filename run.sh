#!/usr/bin/env bash
# Installs what is missing, builds, and opens the virtual panel on a working copy of sample/.
#   ./run.sh [--fresh] [virtual panel options]
#   --fresh   start again from sample/ (the working copy in sample-work/ is kept otherwise)
# Without a display it runs on Xvfb, plays the tour and saves its screenshots in screenshots/.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps

fresh=0
args=()
for arg in "$@"; do
    if [ "$arg" = "--fresh" ]; then fresh=1; else args+=("$arg"); fi
done

build=build
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"

work=sample-work
[ "$fresh" = 1 ] && rm -rf "$work"
[ -d "$work" ] || cp -r sample "$work"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    # The tour plays on its own copy of the sample, not on the working copy.
    shots="$PWD/screenshots"
    echo "run.sh: no display; playing the tour on Xvfb"
    xvfb-run -a -s "-screen 0 1600x1000x24" "$build/bin/virtualpanel" --tour "$shots" "${args[@]}"
    echo "run.sh: screenshots are in $shots"
else
    exec "$build/bin/virtualpanel" --panel-root "$work/panel" --controller-root "$work/controller" "${args[@]}"
fi
