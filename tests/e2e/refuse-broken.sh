#!/usr/bin/env bash
# A scenario that cannot run as written stops the panel with exit code 2 and a message naming
# the file, the line and the step.
#   refuse-broken.sh <virtualpanel> <module> <broken dir>
set -uo pipefail
panel=$1 module=$2 dir=$3
fail() { echo "refuse-broken: $*"; exit 1; }
expect() {
    local file=$dir/$1 where=$2 what=$3 out status
    out=$("$panel" --module "$module" --scenario "$file" 2>&1)
    status=$?
    [ "$status" = 2 ] || fail "$1 ended with $status, not 2: $out"
    grep -qF "$file:$where" <<<"$out" || fail "$1 does not name $where: $out"
    grep -qF "$what" <<<"$out" || fail "$1 does not say \"$what\": $out"
}
expect does-not-parse.json 5 "missing after a comma"
expect unknown-step.json "5, step 2" 'unknown step "tap"'
expect no-such-key.json "5, step 2" "there is no launchButton on the screen"
echo "refuse-broken: ok"
