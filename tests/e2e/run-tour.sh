#!/usr/bin/env bash
# The operator's day end to end: the virtual panel loads the built module by its path, plays
# the whole tour on a copy of the sample controller, and must leave through the module's own
# exit, with every step done and the saved settings on the controller.
#   run-tour.sh <virtualpanel> <module> <sample dir> [wrapper...]
set -euo pipefail
panel=$1 module=$2 sample=$3
shift 3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$sample/." "$work"

status=0
"$@" "$panel" --module "$module" --panel-root "$work/panel" --controller-root "$work/controller" \
    --tour "$work/shots" --quit-after 1800000 ${TOUR_PACE:+--tour-pace "$TOUR_PACE"} >"$work/out" 2>"$work/err" || status=$?
cat "$work/out"
fail() { echo "end-to-end: $*"; cat "$work/err"; exit 1; }
[ "$status" = 0 ] || fail "the panel exited with $status"
grep -q "the module closed the screen" "$work/out" || fail "the module did not close the screen itself"
! grep -q "step skipped" "$work/err" || fail "tour steps were skipped"
ctrl="$work/controller"
grep -q 'signalMode="0"' "$ctrl/application/zuzerarove/zuzeraroveconfig.xml" || fail "the settings were not saved"
grep -q 'protocol="3"' "$ctrl/application/zuzerarove/zuzeraroveconfig.xml" || fail "the protocol was not saved"
grep -q '<mode>1</mode>' "$ctrl/application/zuzerarove/softplcconfig.xml" || fail "the soft-PLC modes were not saved"
grep -q 'num="3" name="PALLET/LAYER2.XPL"' "$ctrl/application/zuzerarove/programMapping.xml" || fail "the map was not saved"
[ "$(ls "$work/shots" | wc -l)" -ge 14 ] || fail "screenshots missing"
echo "end-to-end: ok"
