#!/usr/bin/env bash
# Trees, names and files a run is handed that it cannot trust: each plays, or is refused with exit 2
# before anything is written, and leaves every input as it was.
#   hostile-trees.sh <virtualpanel> <module> <sample controller>
set -uo pipefail
panel=$1 module=$2 sample=$3
fail() { echo "hostile-trees: $*"; exit 1; }
work=$(mktemp -d)
mounted=()
trap 'for m in "${mounted[@]}"; do umount "$m"; done; rm -rf "$work"' EXIT
cd "$work" || exit 1
run() { "$panel" --module "$module" "$@" 2>&1; }
# refused <what it must say> <option and value...>
refused() {
    local what=$1 out status
    shift
    out=$(timeout 60 "$panel" --module "$module" "$@" 2>&1)
    status=$?
    [ "$status" = 2 ] || fail "$* ended with $status, not 2: $(tail -3 <<<"$out")"
    grep -qF -- "$what" <<<"$out" || fail "$* does not say \"$what\": $(tail -3 <<<"$out")"
}

# A thousand folders deep: the scenario's copy, the chooser's listing and a recording's copies.
cp -r "$sample" deep
(cd deep/RPL && for _ in $(seq 1000); do mkdir d && cd d || exit 1; done && echo "MOVJ" >DEEP.XPL) || fail "no deep tree"
cat >deep.json <<'EOF'
{"name": "deep", "controller": "deep",
 "steps": [{"press": "prograMapBtn"}, {"press": "saveButton"}, {"clickCell": "tableWidget", "row": 1, "column": 2},
           {"expect": "rows", "of": "rplRemoteFiles", "is": 6}, {"answer": "cancel"}]}
EOF
mkdir tmp
TMPDIR=$work/tmp run --scenario deep.json >out.txt || fail "a tree a thousand folders deep did not play: $(tail -3 out.txt)"
[ -z "$(ls -A tmp | grep -v '^runtime-')" ] || fail "the deep run's folder was not removed"
mkdir -p pnl
run -platform offscreen --controller-root deep --panel-root pnl --record rec.json --quit-after 500 >out.txt \
    || fail "a recording of a tree a thousand folders deep failed: $(tail -3 out.txt)"
[ -f "rec.controller/RPL$(printf '/d%.0s' $(seq 1000))/DEEP.XPL" ] || fail "the deep recording's copy is not whole"

# Two options naming one file, however spelled; a folder nothing can be written in; a scenario
# that is no regular file or too large; a tree path holding NUL.
cat >s.json <<'EOF'
{"name": "fine", "steps": [{"screenshot": "shot"}]}
EOF
refused "the --report is written there" --scenario s.json --journal out/x.txt --report ./out/../out/x.txt
[ ! -e out/x.txt ] || fail "a refused run left its journal"
refused "cannot be written" --scenario s.json --report /proc/r.xml
refused "no regular file" --scenario /dev/zero
mkfifo pipe.json && refused "no regular file" --scenario pipe.json
head -c $((17 << 20)) /dev/zero | tr '\0' ' ' >big.json && refused "larger than" --scenario big.json
cp -r "$sample" ctl
cat >nul.json <<'EOF'
{"name": "nul", "controller": "ctl", "steps": [{"remove": "controller:/RPL/A.XPL\u0000.bak"}]}
EOF
refused "is not a path in the controller" --scenario nul.json
diff -r "$sample" ctl >/dev/null || fail "a refused scenario changed its controller"

# A scenario's disk limit is the trees' full disk, never the bench's: the module's copy fails, while
# the screenshot and every journal line are written.
cat >limit.json <<'EOF'
{"name": "limit", "steps": [{"diskLimit": 10}, {"press": "prograMapBtn"}, {"answer": "acknowledge"},
 {"screenshot": "shot"}, {"diskLimit": false}]}
EOF
run --scenario limit.json --screenshots shots --journal limit.jsonl >out.txt || fail "a disk limit failed the bench's own files: $(tail -3 out.txt)"
[ -s shots/shot.png ] || fail "the screenshot under a disk limit is missing"
grep -q '"kind":"box".*Failed to get' limit.jsonl && [ "$(python3 -c 'import json,sys; print(sum(1 for l in open(sys.argv[1]) if json.loads(l)))' limit.jsonl)" -gt 3 ] \
    || fail "the journal lost lines under a disk limit"

# Mounts, where this machine lets the test make them: a folder of the scenario's controller
# reached by a bind mount is still an input; a recording whose copy does not fit leaves nothing.
if mkdir -p bound small && mount --bind ctl/RPL bound 2>/dev/null; then
    mounted+=("$work/bound")
    sed 's/"steps".*/"steps": [{"screenshot": "shot"}]}/' nul.json >bind.json
    refused "which this run reads" --scenario bind.json --report bound/r.xml
    [ ! -e ctl/RPL/r.xml ] || fail "a report went into the controller through a bind mount"
fi
if mount -t tmpfs -o size=64k tmpfs small 2>/dev/null; then
    mounted=("$work/small" "${mounted[@]}")
    head -c 200000 /dev/urandom >ctl/RPL/BIG.XPL
    refused "cannot be copied" -platform offscreen --controller-root ctl --panel-root pnl --record small/rec.json --quit-after 500
    [ -z "$(ls -A small)" ] || fail "a refused recording left $(ls -A small)"
fi
echo "hostile-trees: every tree, name and file played or was refused cleanly"
