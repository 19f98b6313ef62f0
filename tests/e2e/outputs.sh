#!/usr/bin/env bash
# Every output the bench writes, put where it must not write: a link at its name, a link in a
# folder above, a file with a second name, the scenario itself spelled another way, the scenario's
# controller. Each run is refused with exit 2, and every file it must not touch is as it was.
#   outputs.sh <virtualpanel> <module> <sample controller>
set -uo pipefail
panel=$1 module=$2 sample=$3
fail() { echo "outputs: $*"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

# A scenario on a controller beside it that takes a screenshot, then fails: it writes every kind
# of output a scenario run has.
mkdir -p play elsewhere shots out pnl
cp -r "$sample" play/controller
cat >play/s.json <<'EOF'
{"name": "fails", "controller": "controller",
 "steps": [{"screenshot": "shot"}, {"expect": "lamp", "is": "on", "within": 100}]}
EOF
echo "not the bench's" >elsewhere/victim
ln -s elsewhere linkdir
ln -s play/controller linkctl
# A failure's picture is named after its scenario file and a digest of its whole path.
failure=out/s-$(printf %s "$work/play/s.json" | sha1sum | cut -c1-8)-failure.png
state() { find play elsewhere -printf '%p %y %l\n' | sort; find play elsewhere -type f -exec md5sum {} + | sort; }
before=$(state)

# refused <what it must say> <option and value...>: plays play/s.json with them.
refused() {
    local what=$1 out status
    shift
    out=$("$panel" --module "$module" "$@" 2>&1)
    status=$?
    [ "$status" = 2 ] || fail "$* ended with $status, not 2: $(tail -3 <<<"$out")"
    grep -qF -- "$what" <<<"$out" || fail "$* does not say \"$what\": $(tail -3 <<<"$out")"
    [ "$(state)" = "$before" ] || fail "$* changed a file it must not touch"
}
scenario=(--scenario play/s.json)
# At the name: a link, or a second name of a file elsewhere.
fresh() { rm -rf out shots && mkdir out shots; }
for place in link hard; do
    fresh
    if [ $place = link ]; then make() { ln -s "$work/elsewhere/victim" "$1"; }; says="is a link"; else
        make() { ln elsewhere/victim "$1"; }; says="has another name too"; fi
    make out/r.xml && refused "$says" "${scenario[@]}" --report out/r.xml
    make out/j.jsonl && refused "$says" "${scenario[@]}" --journal out/j.jsonl
    make out/index.html && refused "$says" "${scenario[@]}" --html-report out
    make shots/shot.png && refused "$says" "${scenario[@]}" --screenshots shots
    fresh
    make "$failure" && refused "$says" "${scenario[@]}" --report out/r.xml
done
# A link in a folder above.
refused "linkdir is a link" "${scenario[@]}" --report linkdir/r.xml
refused "linkdir is a link" "${scenario[@]}" --journal linkdir/j.jsonl
refused "linkdir is a link" "${scenario[@]}" --html-report linkdir/html
refused "linkdir is a link" "${scenario[@]}" --screenshots linkdir
refused "linkctl is a link" --controller-root play/controller --panel-root pnl --record linkctl/rec.json
# The scenario itself, spelled another way or reached through a link.
refused "which this run reads" --scenario linkdir/../play/s.json --report play/./s.json
refused "which this run reads" --scenario play/s.json --journal "$work/play//s.json"
sed "s/\"controller\": \"controller\"/\"controller\": \"..\/play\/controller\"/" play/s.json >out/index.html
refused "which this run reads" --scenario out/index.html --html-report out
# Inside the scenario's controller, or the controller a recording reads.
refused "which this run reads" "${scenario[@]}" --report play/controller/r.xml
refused "which this run reads" "${scenario[@]}" --journal play/controller/RPL/j.jsonl
refused "which this run reads" "${scenario[@]}" --html-report play/controller/html
refused "which this run reads" "${scenario[@]}" --screenshots play/controller
refused "which this run reads" --controller-root play/controller --panel-root pnl --record play/controller/rec.json
refused "which this run reads" --controller-root play/controller --panel-root play --record play/rec.json
echo "outputs: every output refused where it must not write"
