#!/usr/bin/env bash
# A scenario that cannot run as written, and an option value that cannot be used, stop the panel
# before anything starts, with exit code 2 and a message naming the file, the line and the step,
# or the option and its value.
#   refusals.sh <virtualpanel> <module> <broken scenarios dir>
set -uo pipefail
panel=$1 module=$2 dir=$3
fail() { echo "refusals: $*"; exit 1; }
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
expect screenshot-outside.json "5, step 2" "is not a file name of the screenshots folder"
expect field-of-wrong-kind.json "5, step 2" '"expect calls" takes a list of the platform'"'"'s call names for "of"'
expect unknown-call.json "5, step 2" 'the platform has no call "SendFileFromTPU2Controller"'
expect lone-surrogate.json 4 "a text holds half of a character"
# --check says what playing would: a widget no page has is refused there too.
out=$("$panel" --module "$module" --check --scenario "$dir/no-such-key.json" "$dir/../steps/authoring.json" 2>&1)
[ $? = 2 ] || fail "--check took a widget no page has: $out"
grep -qF "$dir/no-such-key.json:5, step 2" <<<"$out" && grep -qF "there is no launchButton on the screen" <<<"$out" ||
    fail "--check does not name the widget: $out"
grep -qF "authoring.json: can run" <<<"$out" || fail "--check refused a scenario that runs: $out"
# Each bad value is named with its option; nothing is made or written.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
refused() {
    local what=$1 out status
    shift
    out=$(cd "$work" && "$panel" --module "$module" "$@" 2>&1)
    status=$?
    [ "$status" = 2 ] || fail "$* ended with $status, not 2: $out"
    grep -qF -- "$what" <<<"$out" || fail "$* does not say \"$what\": $out"
    [ -z "$(ls -A "$work")" ] || fail "$* made $(ls -A "$work")"
}
refused "--idle -5: not a whole number from 1 to 60000" --idle -5
refused "--speed abc: not a number" --speed abc
refused "--speed nan: not a number" --speed nan
refused "--tour-pace nan: not a number" --tour-pace nan
refused "--run-time -1: not a whole number" --run-time -1
refused "--panel-root $work/none: no such folder" --panel-root "$work/none"
refused "--controller-root $work/none: no such folder" --controller-root "$work/none"
# A root not given is the default one, and it must exist as well: the bench makes none.
refused "--panel-root $work/panel: no such folder (by default" --quit-after 1
refused "--tour: /proc/shots cannot be made" --tour /proc/shots
refused "Unknown option 'idel'" --idel 5
inputs=$(mktemp -d)
trap 'rm -rf "$work" "$inputs"' EXIT
cp "$dir/unknown-step.json" "$inputs/s.json"
# Where a recording's copies would go, nothing may stand; tests/e2e/outputs.sh tries every output
# at every place it must not write.
mkdir -p "$inputs/keep"
echo kept >"$inputs/keep/file"
ln -s "$inputs/keep" "$inputs/rec.controller"
roots=(--panel-root "$inputs/keep" --controller-root "$inputs/keep")
refused "$inputs/rec.controller exists already" "${roots[@]}" --record "$inputs/rec.json"
ln -s "$inputs/keep" "$inputs/p.panel"
refused "$inputs/p.panel exists already" "${roots[@]}" --record "$inputs/p.json"
[ "$(cat "$inputs/keep/file")" = kept ] || fail "a linked folder lost its files"
# A recording never replaces one.
echo kept >"$inputs/old.json"
refused "--record $inputs/old.json: exists already" "${roots[@]}" --record "$inputs/old.json"
[ "$(cat "$inputs/old.json")" = kept ] || fail "a recording was replaced"
# Text substitution has one budget a text and runs in one pass: twenty tokens of 64 MiB play.
timeout 120 "$panel" --module "$module" --scenario "$dir/../bounded/twenty-repeats.json" >/dev/null 2>&1 \
    || fail "twenty repeat tokens did not play"
# A run prints its outcome and nothing else: Qt's and the module's own lines go to the journal.
out=$("$panel" --module "$module" --scenario "$dir/../../../scenarios/tour.json" 2>&1) || fail "the tour did not play: $out"
extra=$(grep -v -e '^scenario "' -e '^  passed in [0-9]* ms$' -e '^virtualpanel: 1 of 1 scenarios passed$' <<<"$out")
[ -z "$extra" ] || fail "a run printed more than its outcome: $extra"
# Without a display a bad option is still exit 2, the panel says it needs one, and a scenario plays.
nodisplay() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$panel" --module "$module" "$@" >/dev/null 2>&1; }
nodisplay --idel 5; [ $? = 2 ] || fail "a bad option without a display is not exit 2"
nodisplay; [ $? = 2 ] || fail "the panel without a display is not exit 2"
nodisplay --scenario "$dir/../bounded/twenty-repeats.json" || fail "a scenario without a display did not play"
# A run removes the temporary folders of runs that are over, and nothing else: a live run holds a
# lock on its folder, whatever its process number (another PID namespace may share the folder).
tmp=$(mktemp -d)
mkdir -p "$tmp/virtualpanel-run999999999-abcDEF/panel" "$tmp/virtualpanel-run$$-abcDEF" "$tmp/virtualpanel-run1-abcDEF" \
    "$tmp/virtualpanel-other"
trap 'rm -rf "$work" "$inputs" "$tmp"' EXIT
exec 9<"$tmp/virtualpanel-run1-abcDEF" && flock -n 9 || fail "no lock on a run's folder"
ln -s "$inputs" "$tmp/virtualpanel-run999999998-linked"
TMPDIR=$tmp "$panel" --module "$module" --scenario "$dir/../bounded/twenty-repeats.json" >/dev/null 2>&1 \
    || fail "a scenario with crashed runs' folders did not play"
[ ! -e "$tmp/virtualpanel-run999999999-abcDEF" ] && [ ! -e "$tmp/virtualpanel-run$$-abcDEF" ] || fail "a crashed run's folder stayed"
[ -d "$tmp/virtualpanel-run1-abcDEF" ] && [ -d "$tmp/virtualpanel-other" ] && [ -f "$inputs/s.json" ] \
    || fail "a folder the bench did not leave was removed"
[ -z "$(ls "$tmp" | grep -v -e "virtualpanel-run$$-" -e virtualpanel-run1-abcDEF -e virtualpanel-other -e virtualpanel-run999999998-linked -e "^runtime-")" ] \
    || fail "the run left its own folder: $(ls "$tmp")"
# A failing scenario leaves its picture, its journal and a page: attached to the JUnit report and
# drawn into the HTML one.
out=$(mktemp -d)
trap 'rm -rf "$work" "$inputs" "$tmp" "$out"' EXIT
"$panel" --module "$module" --scenario "$dir/../failing/lamp-stays-off.json" --report "$out/junit.xml" \
    --html-report "$out/html" >/dev/null 2>&1
[ $? = 1 ] || fail "a failing scenario is not exit 1"
png=$(ls "$out"/*-failure.png) && [ -s "$png" ] || fail "no picture of the failure"
grep -q '"kind":"link"' "$out"/*-failure.journal.jsonl || fail "the failure's journal does not hold the link going down"
grep -qF "[[ATTACHMENT|$png]]" "$out/junit.xml" || fail "the JUnit report does not attach the picture"
grep -q 'data:image/png;base64' "$out/html/index.html" && grep -q 'expect' "$out/html/index.html" \
    || fail "the HTML report lacks the picture or the steps"
# Scenarios that must fail do, at their last step; a name holding "%1" stays as written.
for file in "$dir"/../failing/*.json; do
    out=$("$panel" --module "$module" --scenario "$file" --html-report "$work/html" 2>&1)
    [ $? = 1 ] || fail "$file did not fail: $out"
    last=$(grep -c '^    {' "$file")
    grep -q "FAILED: $file:.*, step $last:" <<<"$out" || fail "$file failed elsewhere: $(grep FAILED <<<"$out")"
    name=$(sed -n 's/^  "name": "\(.*\)",$/\1/p' "$file")
    grep -qF "$name" "$work/html/index.html" || fail "the report does not show \"$name\" as written"
done
out=$("$panel" --module "$module" --scenario "$dir/../failing/late-difference.json" 2>&1)
grep -qx -- "-line 30 changed late in the file" <<<"$out" && grep -qx -- "+line 30 of a long file" <<<"$out" \
    || fail "a late difference in a whole file is not shown as a diff: $out"
rm -rf "$work/html"
# The widget catalogue, read from the live module without a display, names every page's, the
# chooser's and the boxes' widgets.
catalogue=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$panel" --module "$module" --widgets 2>/dev/null) \
    || fail "--widgets failed"
for name in reserveBtn_15 runOrStopLedCB nameBox_15 comboBoxModePlc4 tableWidget rplRemoteFiles closeBtn msgBoxConfirm; do
    grep -q "^  $name " <<<"$catalogue" || fail "--widgets does not list $name"
done
"$panel" --version | grep -q "^virtualpanel [0-9]" || fail "--version"
QT_QPA_PLATFORM=none "$panel" --help | grep -q -- "--scenario <file>" || fail "--help without a display"
echo "refusals: ok"
