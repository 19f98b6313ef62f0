#!/usr/bin/env bash
# Sessions clicked, picked and typed through the panel's real window on a virtual display, as an
# integrator records them. Each replays green twice, then red at the step where a changed
# controller, run time or program makes the screen go another way.
#   xvfb-run real-window.sh <virtualpanel> <module> <sample controller>
# SESSIONS="shift chooser" records only those; KEEP=1 keeps the sessions' folders.
set -uo pipefail
panel=$1 module=$2 sample=$3
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "real-window: $*"; exit 1; }
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; [ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
pause=1

# A session's own folder with the sample controller and a fresh panel tree, and the panel recording
# into it.
record() {
    local name=$1
    shift
    mkdir "$work/$name" && cd "$work/$name" || exit 1
    cp -r "$sample" controller
    # A program no slot has, listed next above the one slot 2 shows.
    printf 'MOVJ P1\nEND\n' >controller/RPL/SPARE.XPL
    mkdir -p panel/Application/zuzerarove
    # On the X display a driver is loaded and unloaded again at run time, leaving a buffer that
    # LeakSanitizer cannot name; the replays below run with leak checks as every other test.
    ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" "$panel" -platform xcb --module "$module" --panel-root panel \
        --controller-root controller --record session.json --run-time 3000 "$@" >record.log 2>&1 &
    pid=$!
    timeout 60 xdotool search --sync --onlyvisible --name '^Virtual panel$' >/dev/null || fail "$name: no window: $(cat record.log)"
    sleep 3 # the screen's start-up
}
# The panel's window closed by its X.
closePanel() { python3 "$here/close-window.py" "$(xdotool search --onlyvisible --name '^Virtual panel$')"; }
# The panel ends once the screen is closed.
ended() {
    wait "$pid" || fail "the recording panel ended with $?: $(tail -60 record.log)"
    pid=
    grep -q "the session is in" record.log || fail "no recording: $(cat record.log)"
}
recorded() {
    local step
    for step in "$@"; do
        grep -q "$step" session.json || fail "$PWD: the recording has no $step: $(cat session.json)"
    done
}
play() { "$panel" -platform offscreen --module "$module" --scenario session.json >replay.log 2>&1; }
replaysTwice() {
    "$panel" -platform offscreen --module "$module" --scenario session.json session.json >replay.log 2>&1 ||
        fail "$PWD: the replays: $(grep -A2 FAILED replay.log)"
}
# After a change the replay fails, at a step matching the pattern.
failsAt() {
    play
    [ $? = 1 ] || fail "$PWD: the changed replay did not fail: $(tail -20 replay.log)"
    grep -q "FAILED: .*$1" replay.log || fail "$PWD: the changed replay failed elsewhere than $1: $(grep -A2 FAILED replay.log)"
    echo "real-window: $(basename "$PWD") recorded, replayed twice, failed at $1 $2"
}

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
# A box's keys sit at its lower right: the last one, and the one before it.
tapBoxKey() {
    local X Y WIDTH HEIGHT WINDOW SCREEN
    eval "$(xdotool getwindowgeometry --shell "$(box)")"
    tap $((X + WIDTH - ${1:-74})) $((Y + HEIGHT - 36))
}
tapOnlyKey() { tapBoxKey 74; }
tapFirstOfTwo() { tapBoxKey 192; }
# The chooser: the panel's untitled window (its X name is empty; the name its title bar shows is the
# program's). Sets chooser, chooserX and chooserY.
chooser() {
    local X Y WIDTH HEIGHT WINDOW SCREEN w
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
}
typeText() { xdotool key ctrl+a; xdotool type --delay 80 "$1"; sleep "$pause"; }

# The monitor's keys, the settings', the map's, the soft-PLC page's and the simulator panel's.
startStop=(869 169) res1=(756 261) res2=(756 311) exitKey=(113 659) softPlcKey=(265 659) mapKey=(426 659) settingKey=(910 659)
slot2Program=(460 322) slot3Cycle=(770 372) settingsSave=(858 659) settingsReturn=(460 659)
mapEdit=(899 669) mapProgram3=(603 310) mapBack=(129 669)
plc1Mode=(572 301) plcSave=(819 609) plcReturn=(179 609)
runTimeField=(1286 157) alarmKey=(1137 910)

# A running shift: two slots reserved and run, the run time changed in the simulator panel, one
# more run, stopped.
shiftSession() {
    record shift
    tap "${startStop[@]}"
    tap "${res1[@]}"
    tap "${res2[@]}"
    sleep 7 # both programs run their 3 s
    tap "${runTimeField[@]}"
    typeText 2
    tap "${res1[@]}"
    sleep 3
    tap "${startStop[@]}"
    tap "${exitKey[@]}"
    ended
    recorded '"press": "runOrStopButton"' '"reserve": 2' '"runTime": 2000' '"status": "running"'
    # Played while the next session is recorded.
    (
        replaysTwice
        # Programs that run ten times as long are still running when the recording saw them done.
        sed -i '0,/"runTime": 3000/s//"runTime": 30000/' session.json
        failsAt '"expect":"text".*"of":"zuzeraroveMonitoeTW"' "with a longer run time"
    ) &
    checks+=($!)
}

# The settings, every box answered by its key or the keyboard.
settingsSession() {
    record settings
    tap "${settingKey[@]}"       # a note says which saved programs the controller lacks
    tapOnlyKey                   # its OK
    tap "${slot2Program[@]}"     # slot 2's program: its list opens
    xdotool key Up Return        # the item above the one shown, picked from the keyboard
    sleep "$pause"
    tap "${slot3Cycle[@]}"
    typeText 42
    tap "${settingsSave[@]}"
    keys Escape                  # "Are you sure to save it?", not yet
    tap "${settingsSave[@]}"
    tapFirstOfTwo                # now: its OK
    keys Return                  # "Save successfully."
    tap "${settingsReturn[@]}"
    tap "${exitKey[@]}"
    ended
    recorded '"choose": "nameBox_2"' '"type": "cycleEdit_3"' '"by": "escape"' '"by": "return"' '"answer": "confirm"'
    # Played while the next session is recorded.
    (
        replaysTwice
        picked=$(grep -A1 '"choose": "nameBox_2"' session.json | sed -n 's/.*"item": "\(.*\)".*/\1/p')
        [ -n "$picked" ] && rm "session.controller/RPL/$picked" || fail "no item picked"
        failsAt '"choose":"nameBox_2"' "without $picked"
    ) &
    checks+=($!)
}

# The chooser closed by its X, refusing a folder, then taking a program by Select.
chooserSession() {
    record chooser
    tap "${mapKey[@]}"
    tap "${mapEdit[@]}"
    tap "${mapProgram3[@]}"      # program 3's name: the chooser opens
    chooser
    python3 "$here/close-window.py" "$chooser"
    sleep "$pause"
    tap "${mapProgram3[@]}"
    chooser
    tap $((chooserX + 85)) $((chooserY + 135))   # the folder PALLET
    keys Return                                  # "Please select RPL or PJ file!"
    tap $((chooserX + 125)) $((chooserY + 183))  # PALLET/LAYER2.XPL
    tap $((chooserX + 450)) $((chooserY + 525))  # Select
    tap "${mapEdit[@]}"          # Save
    keys Return                  # "Are you sure Save?"
    tapOnlyKey                   # "Save file successfully."
    tap "${mapBack[@]}"
    tap "${exitKey[@]}"
    ended
    recorded '"answer": "close"' '"pick": "PALLET"' '"pick": "PALLET/LAYER2.XPL"' '"answer": "select"'
    # Played while the next session is recorded.
    (
        replaysTwice
        rm session.controller/RPL/PALLET/LAYER2.XPL
        failsAt '"pick":"PALLET/LAYER2.XPL"' "without the program"
    ) &
    checks+=($!)
}

# The screen closed by the panel's alarm under a question.
underQuestionSession() {
    record underQuestion
    tap "${settingKey[@]}"
    tapOnlyKey
    tap "${alarmKey[@]}"         # closes the screen in 5 s
    tap "${settingsSave[@]}"     # "Are you sure to save it?"
    sleep 6
    closePanel
    ended
    recorded '"answer": "cancel"' '"closeScreen": true'
    # Played while the next session is recorded.
    (
        replaysTwice
        # The note names one more missing program.
        rm session.controller/RPL/MAIN.XPL
        failsAt '"answer":"acknowledge"' "where the note names one more missing program"
    ) &
    checks+=($!)
}

# The screen closed by the alarm under the chooser.
underChooserSession() {
    record underChooser
    tap "${mapKey[@]}"
    tap "${mapEdit[@]}"
    tap "${alarmKey[@]}"
    tap "${mapProgram3[@]}"
    sleep 6
    closePanel
    ended
    recorded '"clickCell": "tableWidget"' '"answer": "cancel"' '"closeScreen": true'
    # Played while the next session is recorded.
    (
        replaysTwice
        rm session.controller/application/zuzerarove/programMapping.xml
        failsAt '"press":"saveButton"' "without the map's file"
    ) &
    checks+=($!)
}

# In Chinese: a shift started and stopped, the settings' note, back.
chineseSession() {
    record chinese --language zh_CN
    tap "${startStop[@]}"
    tap "${startStop[@]}"
    tap "${settingKey[@]}"
    tapOnlyKey
    tap "${settingsReturn[@]}"
    tap "${exitKey[@]}"
    ended
    recorded '"language": "zh_CN"' '"press": "runOrStopButton"' '"answer": "acknowledge"'
    # Played while the next session is recorded.
    (
        replaysTwice
        rm session.controller/RPL/MAIN.XPL
        failsAt '"answer":"acknowledge"' "where the note names one more missing program"
    ) &
    checks+=($!)
}

# The soft-PLC page: a mode picked from the keyboard and saved.
softPlcSession() {
    record softPlc
    tap "${softPlcKey[@]}"
    tap "${plc1Mode[@]}"
    xdotool key Down Return
    sleep "$pause"
    tap "${plcSave[@]}"
    tapFirstOfTwo                # "Are you sure to save it?"
    tapOnlyKey                   # "Save successfully."
    tap "${plcReturn[@]}"
    tap "${exitKey[@]}"
    ended
    recorded '"choose": "comboBoxModePlc1"' '"answer": "confirm"'
    # Played while the next session is recorded.
    (
        replaysTwice
        # The first soft-PLC is one the page does not offer, so its mode cannot be picked.
        sed -i 's/softplc1/softplc9/' session.controller/xpl/xpl.cfg
        failsAt '"choose":"comboBoxModePlc1"' "with another soft-PLC"
    ) &
    checks+=($!)
}

# A session killed mid-way replays as far as it went.
killedSession() {
    record killed
    tap "${startStop[@]}"
    tap "${res1[@]}"
    kill -KILL "$pid"
    wait "$pid" 2>/dev/null
    pid=
    recorded '"reserve": 1'
    # Played while the next session is recorded.
    (
        replaysTwice
        rm session.controller/RPL/MAIN.XPL
        failsAt '"reserve":1' "without slot 1's program"
    ) &
    checks+=($!)
}

# Each session, or those named in $SESSIONS.
checks=()
for session in ${SESSIONS:-shift settings chooser underQuestion underChooser chinese softPlc killed}; do
    "${session}Session"
done
status=0
for check in "${checks[@]}"; do
    wait "$check" || status=1
done
exit $status
