#!/usr/bin/env bash
# A session clicked, picked and typed through the panel's real window on a virtual display, as an
# integrator records one (a shift started and stopped, the settings saved, the chooser refusing a
# folder and then taking a program): it replays green twice, and red at the step where a changed
# controller makes the screen go another way.
#   xvfb-run real-window.sh <virtualpanel> <module> <sample controller>
set -uo pipefail
panel=$1 module=$2 sample=$3
fail() { echo "real-window: $*"; exit 1; }
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
cp -r "$sample" "$work/controller"
# A program no slot has, listed next above the one slot 2 shows.
printf 'MOVJ P1\nEND\n' >"$work/controller/RPL/SPARE.XPL"
mkdir -p "$work/panel/Application/zuzerarove"
cd "$work" || exit 1

# On the X display a driver is loaded and unloaded again at run time, leaving a buffer that
# LeakSanitizer cannot name; the replays below run with leak checks as every other test.
ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" "$panel" -platform xcb --module "$module" --panel-root panel --controller-root controller --record session.json \
    --run-time 3000 >record.log 2>&1 &
pid=$!
timeout 60 xdotool search --sync --onlyvisible --name '^Virtual panel$' >/dev/null || fail "no window: $(cat record.log)"
sleep 3 # the screen's start-up
pause=1.5
tap() { xdotool mousemove "$1" "$2" click 1; sleep "$pause"; }
# The box open now, once it is.
box() {
    local w
    for _ in $(seq 50); do
        w=$(xdotool search --onlyvisible --name '^Message$' | tail -1)
        [ -n "$w" ] && { echo "$w"; return; }
        sleep 0.1
    done
    fail "no box opened"
}
keys() { local w; w=$(box); xdotool windowfocus --sync "$w"; xdotool key "$@"; sleep "$pause"; }
# A box's only key, at its lower right corner.
tapOnlyKey() { local X Y WIDTH HEIGHT WINDOW SCREEN; eval "$(xdotool getwindowgeometry --shell "$(box)")"; tap $((X + WIDTH - 74)) $((Y + HEIGHT - 36)); }

tap 869 169              # Start
tap 869 169              # Stop
tap 910 659              # Setting: a note says which saved programs the controller lacks
tapOnlyKey               # the note's OK
tap 460 322              # slot 2's program: its list opens
xdotool key Up Return    # the item above the one shown, picked from the keyboard
sleep "$pause"
tap 770 372              # slot 3's cycle index
xdotool key ctrl+a
xdotool type --delay 80 42
sleep "$pause"
tap 858 659              # Save
keys Return              # "Are you sure to save it?"
tapOnlyKey               # "Save successfully."
tap 460 659              # Return
tap 426 659              # PrograMap
tap 899 669              # Edit
tap 603 310              # program 3's name: the chooser opens
# The chooser: the panel's untitled window (its X name is empty; the name its title bar shows is the
# program's).
chooser=
for _ in $(seq 100); do
    for w in $(xdotool search --onlyvisible --classname virtualpanel); do
        [ "$(xdotool getwindowname "$w")" = virtualpanel ] && chooser=$w
    done
    [ -n "$chooser" ] && break
    sleep 0.2
done
[ -n "$chooser" ] || fail "the chooser did not open"
eval "$(xdotool getwindowgeometry --shell "$chooser")"
chooserX=$X chooserY=$Y
tap $((chooserX + 85)) $((chooserY + 135))   # the folder PALLET
keys Return                                  # "Please select RPL or PJ file!"
tap $((chooserX + 125)) $((chooserY + 183))  # PALLET/LAYER2.XPL
tap $((chooserX + 450)) $((chooserY + 525))  # Select
tap 899 669              # Save
keys Return              # "Are you sure Save?"
tapOnlyKey               # "Save file successfully."
tap 129 669              # Back
tap 113 659              # Exit: the module closes the screen and the panel ends
wait "$pid" || fail "the recording panel ended with $?: $(tail -60 record.log)"
pid=
grep -q "the session is in" record.log || fail "no recording: $(cat record.log)"
for step in '"press": "runOrStopButton"' '"choose": "nameBox_2"' '"type": "cycleEdit_3"' '"by": "return"' \
    '"box": "Save successfully."' '"pick": "PALLET"' '"answer": "select"' '"press": "exitButton"'; do
    grep -q "$step" session.json || fail "the recording has no $step: $(cat session.json)"
done

for run in 1 2; do
    "$panel" -platform offscreen --module "$module" --scenario session.json >replay.log 2>&1 || fail "replay $run: $(grep -A2 FAILED replay.log)"
done
# Without the program picked, the replay fails where the pick was.
picked=$(grep -A1 '"choose": "nameBox_2"' session.json | sed -n 's/.*"item": "\(.*\)".*/\1/p')
[ -n "$picked" ] && rm "session.controller/RPL/$picked" || fail "no item picked"
"$panel" -platform offscreen --module "$module" --scenario session.json >replay.log 2>&1
[ $? = 1 ] || fail "the replay without $picked did not fail"
grep -q 'FAILED: .*"choose":"nameBox_2"' replay.log || fail "the replay failed elsewhere: $(grep FAILED replay.log)"
echo "real-window: recorded, replayed twice, failed at the pick without $picked"
