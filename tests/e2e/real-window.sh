#!/usr/bin/env bash
# Sessions clicked, picked and typed through the panel's real window on a virtual display, as an
# integrator records them. Each replays green twice, then red at the step where a changed
# controller, run time or program makes the screen go another way. Nothing waits for a fixed
# time: each action waits for what it brings about, the recording written or the controller's
# journal saying so, however busy the machine is.
#   xvfb-run real-window.sh <virtualpanel> <module> <sample controller>
# SESSIONS="shift chooser" records only those; KEEP=1 keeps the sessions' folders.
set -uo pipefail
panel=$1 module=$2 sample=$3
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "real-window: $*"; exit 1; }
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; [ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT

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
        --controller-root controller --record session.json --journal journal.jsonl --run-time 3000 "$@" >record.log 2>&1 &
    pid=$!
    window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Virtual panel' | head -1)
    [ -n "$window" ] || fail "$name: no window: $(cat record.log)"
    # The screen has started once its monitor has fetched the configuration.
    waitFor "the screen's start-up" grep -q '"kind":"fetch".*zuzeraroveconfig.xml' journal.jsonl
}
# waitFor <what> <command...>: until the command holds, a minute at most.
waitFor() {
    local what=$1
    shift
    for _ in $(seq 600); do
        "$@" 2>/dev/null && return
        sleep 0.1
    done
    fail "$PWD: waited a minute for $what"
}
# While it records, the panel's title says how often the recording was written, and "..." while
# the screen is not at rest: "Virtual panel (12)".
writes() { xdotool getwindowname "$window" | sed -n 's/^Virtual panel (\([0-9]*\)\(\.\.\.\)\{0,1\})$/\1/p'; }
restedAfter() { [[ "$(xdotool getwindowname "$window")" =~ ^Virtual\ panel\ \(([0-9]+)\)$ ]] && [ "${BASH_REMATCH[1]}" -gt "$1" ]; }
# Runs an action, then waits until the recording has taken the command it gives and the screen
# is at rest again.
recorded_after() {
    local before
    before=$(writes)
    "$@"
    waitFor "the recording of $*" restedAfter "${before:-0}"
}
finishedRuns() { [ "$(grep -c '"kind":"run".*"state":"finished"' journal.jsonl)" -ge "$1" ]; }
# The panel's window closed by its X.
closePanel() { python3 "$here/close-window.py" "$window"; }
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

# A touch that gives a command, and one that only opens a list or puts the focus in a field (X
# delivers the keys that follow after it).
touch() { xdotool mousemove "$1" "$2" click 1; }
tap() { recorded_after touch "$@"; }
# The box open now, once it is.
box() {
    local w
    w=$(timeout 60 xdotool search --sync --onlyvisible --name '^Message$' | tail -1)
    [ -n "$w" ] || { echo "real-window: $PWD: no box opened" >&2; return 1; }
    echo "$w"
}
pressKeys() { xdotool key "$@"; }
keys() { local w; w=$(box) || fail "no box opened"; xdotool windowfocus --sync "$w"; recorded_after pressKeys "$@"; }
# A box's keys sit at its lower right: the last one, and the one before it.
tapBoxKey() {
    local X= Y= WIDTH= HEIGHT= WINDOW= SCREEN= w
    w=$(box) || fail "no box opened"
    eval "$(xdotool getwindowgeometry --shell "$w")"
    [ -n "$X" ] && [ -n "$WIDTH" ] || fail "the box's place is not known"
    tap $((X + WIDTH - ${1:-74})) $((Y + HEIGHT - 36))
}
tapOnlyKey() { tapBoxKey 74; }
tapFirstOfTwo() { tapBoxKey 192; }
# The chooser: the panel's untitled window (its X name is empty; the name its title bar shows is the
# program's). Sets chooser, chooserX and chooserY.
chooser() {
    local X Y WIDTH HEIGHT WINDOW SCREEN w
    chooser=
    for _ in $(seq 600); do
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
# The field's text typed over; the recording takes it as it is typed.
typeKeys() { xdotool key ctrl+a; xdotool type --delay 80 "$1"; }
typeText() { recorded_after typeKeys "$1"; }

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
    waitFor "both programs to run their 3 s" finishedRuns 2
    touch "${runTimeField[@]}"
    typeText 2
    tap "${res1[@]}"
    waitFor "the third run" finishedRuns 3
    tap "${startStop[@]}"
    touch "${exitKey[@]}"           # the module closes the screen, and the panel ends
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
    touch "${slot2Program[@]}"   # slot 2's program: its list opens
    recorded_after pressKeys Up Return # the item above the one shown, picked from the keyboard
    touch "${slot3Cycle[@]}"
    typeText 42
    tap "${settingsSave[@]}"
    keys Escape                  # "Are you sure to save it?", not yet
    tap "${settingsSave[@]}"
    tapFirstOfTwo                # now: its OK
    keys Return                  # "Save successfully."
    tap "${settingsReturn[@]}"
    touch "${exitKey[@]}"           # the module closes the screen, and the panel ends
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
    recorded_after python3 "$here/close-window.py" "$chooser"
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
    touch "${exitKey[@]}"           # the module closes the screen, and the panel ends
    ended
    recorded '"answer": "close"' '"pick": "PALLET"' '"pick": "PALLET/LAYER2.XPL"' '"answer": "select"'
    # Played while the next session is recorded.
    (
        replaysTwice
        rm session.controller/RPL/PALLET/LAYER2.XPL
        failsAt '"is":"PALLET/LAYER2.XPL","of":"zuzeraroveMonitoeTW","row":5' "where the monitor names the program missing"
    ) &
    checks+=($!)
}

# The screen closed by the panel's alarm under a question.
underQuestionSession() {
    record underQuestion
    tap "${settingKey[@]}"
    tapOnlyKey
    touch "${alarmKey[@]}"       # closes the screen in 5 s
    tap "${settingsSave[@]}"     # "Are you sure to save it?"
    waitFor "the alarm to close the screen" grep -q 'setUsedVars_zuzEraroves(false' journal.jsonl
    closePanel
    ended
    recorded '"answer": "cancel"' '"closeScreen": true'
    # Played while the next session is recorded.
    (
        replaysTwice
        # The note names one more missing program.
        rm session.controller/RPL/MAIN.XPL
        failsAt '"is":"MAIN.XPL","of":"zuzeraroveMonitoeTW","row":1' "where the monitor names MAIN.XPL missing"
    ) &
    checks+=($!)
}

# The screen closed by the alarm under the chooser.
underChooserSession() {
    record underChooser
    tap "${mapKey[@]}"
    tap "${mapEdit[@]}"
    touch "${alarmKey[@]}"
    tap "${mapProgram3[@]}"
    waitFor "the alarm to close the screen" grep -q 'setUsedVars_zuzEraroves(false' journal.jsonl
    closePanel
    ended
    recorded '"clickCell": "tableWidget"' '"answer": "cancel"' '"closeScreen": true'
    # Played while the next session is recorded.
    (
        replaysTwice
        rm session.controller/application/zuzerarove/programMapping.xml
        failsAt 'tableWidget, column 2' "where the map shows no programs"
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
    touch "${exitKey[@]}"           # the module closes the screen, and the panel ends
    ended
    recorded '"language": "zh_CN"' '"press": "runOrStopButton"' '"answer": "acknowledge"'
    # Played while the next session is recorded.
    (
        replaysTwice
        rm session.controller/RPL/MAIN.XPL
        failsAt '"is":"MAIN.XPL","of":"zuzeraroveMonitoeTW","row":1' "where the monitor names MAIN.XPL missing"
    ) &
    checks+=($!)
}

# The soft-PLC page: a mode picked from the keyboard and saved.
softPlcSession() {
    record softPlc
    tap "${softPlcKey[@]}"
    touch "${plc1Mode[@]}"
    recorded_after pressKeys Down Return
    tap "${plcSave[@]}"
    tapFirstOfTwo                # "Are you sure to save it?"
    tapOnlyKey                   # "Save successfully."
    tap "${plcReturn[@]}"
    touch "${exitKey[@]}"           # the module closes the screen, and the panel ends
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
        failsAt '"is":"MAIN.XPL","of":"zuzeraroveMonitoeTW","row":1' "where the monitor names slot 1's program missing"
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
