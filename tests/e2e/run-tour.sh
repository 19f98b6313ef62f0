#!/usr/bin/env bash
# The operator's day end to end: the virtual panel loads the built module by its path and plays
# the tour of every page (scenarios/tour.json) on a copy of the sample controller. The tour's own
# expectations check the saved settings and that the module closed the screen through its Exit.
#   run-tour.sh <virtualpanel> <module> [wrapper...]
# TOUR_PACE stretches its waits; TOUR_LANGUAGE plays it in another language.
set -euo pipefail
panel=$1 module=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

status=0
"$@" "$panel" --module "$module" --tour "$work/shots" ${TOUR_PACE:+--tour-pace "$TOUR_PACE"} \
    ${TOUR_LANGUAGE:+--language "$TOUR_LANGUAGE"} \
    >"$work/out" 2>"$work/err" || status=$?
cat "$work/out"
fail() { echo "end-to-end: $*"; cat "$work/err"; exit 1; }
[ "$status" = 0 ] || fail "the panel exited with $status"
[ "$(ls "$work/shots" | wc -l)" -ge 14 ] || fail "screenshots missing"
echo "end-to-end: ok"
