#!/usr/bin/env python3
"""The scenario schema and the step reference are the step registry's, and hold every file.

    schema.py <virtualpanel> <source dir>

Fails when scenarios/scenario.schema.json or the README's step tables differ from what the
registry prints, when a shipped scenario does not validate, or when a scenario the reader
refuses for its form validates.
"""
import json
import pathlib
import subprocess
import sys

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
begin, end = "<!-- steps: virtualpanel --steps -->\n", "<!-- end of steps -->"
if begin not in readme or end not in readme:
    failures.append("README.md has no step reference between its markers")
elif readme.split(begin, 1)[1].split(end, 1)[0] != printed("--steps"):
    failures.append("README.md's step reference differs from virtualpanel --steps: paste it again")

validator = jsonschema.Draft7Validator(schema)
jsonschema.Draft7Validator.check_schema(schema)
for path in sorted((source / "scenarios").rglob("*.json")) + sorted(
        path for folder in ("bounded", "steps", "failing") for path in (source / "tests/e2e" / folder).glob("*.json")):
    if path.name == "scenario.schema.json":
        continue
    for error in validator.iter_errors(json.loads(path.read_text())):
        failures.append(f"{path.relative_to(source)}: {error.message} at {list(error.absolute_path)}")
        break

# Refused for their form: the schema refuses them too. A missing widget only shows when played.
for path in sorted((source / "tests/e2e/broken").glob("*.json")):
    try:
        document = json.loads(path.read_text())
    except json.JSONDecodeError:
        continue
    if validator.is_valid(document) != (path.name == "no-such-key.json"):
        failures.append(f"{path.relative_to(source)}: the schema and the reader disagree")

for failure in failures:
    print("schema:", failure)
sys.exit(1 if failures else 0)
