#!/usr/bin/env python3
"""The scenario schema and the step reference are the step registry's, and hold every file.

    schema.py <virtualpanel> <source dir>

Fails when scenarios/scenario.schema.json or the README's step tables differ from what the
registry prints, when a shipped scenario does not validate, when a scenario the reader refuses
for its form validates, or when the reader and the schema disagree on a scenario generated from
the schema.
"""
import json
import pathlib
import shutil
import subprocess
import sys
import tempfile

import jsonschema

panel, source = sys.argv[1], pathlib.Path(sys.argv[2])
failures = []


def printed(option):
    return subprocess.run([panel, option], check=True, capture_output=True, text=True).stdout


schema = json.loads(printed("--schema"))
shipped = json.loads((source / "scenarios/scenario.schema.json").read_text())
if schema != shipped:
    failures.append("scenarios/scenario.schema.json differs from virtualpanel --schema: write it again")

readme = (source / "README.md").read_text()
begin, end = "<!-- steps: virtualpanel --steps-markdown -->\n", "<!-- end of steps -->"
if begin not in readme or end not in readme:
    failures.append("README.md has no step reference between its markers")
elif readme.split(begin, 1)[1].split(end, 1)[0] != printed("--steps-markdown"):
    failures.append("README.md's step reference differs from virtualpanel --steps-markdown: paste it again")
if max(map(len, printed("--steps").splitlines())) > 100:
    failures.append("virtualpanel --steps has a line wider than 100 columns")

validator = jsonschema.Draft7Validator(schema)
jsonschema.Draft7Validator.check_schema(schema)
for path in sorted((source / "scenarios").rglob("*.json")) + sorted(
        path for folder in ("bounded", "steps", "failing") for path in (source / "tests/e2e" / folder).glob("*.json")):
    if path.name == "scenario.schema.json":
        continue
    for error in validator.iter_errors(json.loads(path.read_text())):
        failures.append(f"{path.relative_to(source)}: {error.message} at {list(error.absolute_path)}")
        break

# Refused for their form: the schema refuses them too, but for what a schema cannot say (a widget
# the screen lacks, half of a character).
for path in sorted((source / "tests/e2e/broken").glob("*.json")):
    try:
        document = json.loads(path.read_text())
    except json.JSONDecodeError:
        continue
    if validator.is_valid(document) != (path.name in ("no-such-key.json", "lone-surrogate.json")):
        failures.append(f"{path.relative_to(source)}: the schema and the reader disagree")

# The schema and the reader agree on every step: each field of each step, at a valid value and
# past each of its limits (its range, its form, its kind), in a scenario of its own; the reader
# says of every one whether it can run, and the schema must say the same.
def samples(prop):
    """Values to try for a property: some the schema takes, some it refuses."""
    if "const" in prop:
        return [prop["const"], "no such thing"]
    if "enum" in prop:
        return [prop["enum"][0], prop["enum"][-1], "no such thing", 1]
    if "oneOf" in prop:
        return [v for option in prop["oneOf"] for v in samples(option)] + ["off"]
    kind = prop.get("type")
    if kind == "integer":
        low, high = prop.get("minimum", 0), prop.get("maximum", 2**31 - 1)
        return [low, high, low - 1, high + 1, 2**53, low + 0.5, str(low), True]
    if kind == "boolean":
        return [True, False, "true", 0]
    if kind == "array":
        item = samples(prop["items"])
        return [[], [item[0]], [item[0], item[-1]], item[0]]
    if kind == "string":
        if "pattern" in prop and "controller" in prop["pattern"]:
            return ["controller:/RPL/A.XPL", "panel:/a", "outside:/..a", "controller:/../a", "panel:/a/../b",
                    "outside:/a/..", "controller:/..", "/etc/passwd", "controller:a", 3]
        if "pattern" in prop:
            return ["shot", "shot.png", "../shot", ".hidden", "a/b", "a\\b", "", 3]
        return ["runOrStopButton", "", 3, None]
    return [None]


documents = []
for definition, where in (("step", "steps"), ("setupStep", "setup")):
    for alternative in schema["definitions"][definition]["oneOf"]:
        properties, required = alternative["properties"], alternative.get("required", [])
        base = {name: samples(properties[name])[0] for name in required}
        documents.append({where: [base]})
        for name, prop in properties.items():
            for value in samples(prop):
                step = dict(base)
                step[name] = value
                documents.append({where: [step]})
work = pathlib.Path(tempfile.mkdtemp())
try:
    files = []
    for number, document in enumerate(documents):
        document = {"name": f"generated {number}", **document}
        files.append(work / f"{number:04}.json")
        files[-1].write_text(json.dumps(document))
    said = subprocess.run([panel, "--check", "--scenario", *map(str, files)], capture_output=True, text=True).stdout
    verdicts = {}
    for line in said.splitlines():
        name = pathlib.Path(line.split(":", 1)[0]).name
        # A widget the live module lacks is beyond what a schema can say: as to its form, it runs.
        verdicts[name] = line.endswith(": can run") or "(virtualpanel --widgets lists every name)" in line
    for file, document in zip(files, documents):
        document = json.loads(file.read_text())
        if file.name not in verdicts:
            failures.append(f"the reader said nothing of {document}")
        elif verdicts[file.name] != validator.is_valid(document):
            failures.append(f"the reader {'takes' if verdicts[file.name] else 'refuses'} and the schema "
                            f"{'takes' if validator.is_valid(document) else 'refuses'} {json.dumps(document)}")
finally:
    shutil.rmtree(work)
if len(documents) < 300:
    failures.append(f"only {len(documents)} scenarios were generated from the schema")

for failure in failures:
    print("schema:", failure)
sys.exit(1 if failures else 0)
