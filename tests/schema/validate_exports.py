#!/usr/bin/env python3
"""Validates exported configurations against the program's JSON Schema.

Usage: validate_exports.py PROGRAM CLI SCHEMA CORPUS_DIR...

Exports the built-in default configuration and every file of the corpus folders that the CLI
takes (data files directly, texts after an import; each text of this program must import),
and checks each text against SCHEMA. A
text with a mistyped key must fail the check, or the schema checks nothing. Exits 77 (skipped)
when python3-jsonschema or python3-yaml is missing.
"""
import os
import subprocess
import sys
import tempfile

try:
    import jsonschema
    import yaml
except ImportError as missing:
    print(f"skipped: {missing}")
    sys.exit(77)


def as_json(value):
    # YAML reads "60:" as a number; JSON and the editors' schema checks have text keys.
    if isinstance(value, dict):
        return {str(k): as_json(v) for k, v in value.items()}
    if isinstance(value, list):
        return [as_json(v) for v in value]
    return value


def main():
    program, cli, schema_path = sys.argv[1:4]
    corpora = sys.argv[4:]
    with open(schema_path, encoding="utf-8") as f:
        schema = __import__("json").load(f)
    jsonschema.Draft202012Validator.check_schema(schema)
    validator = jsonschema.Draft202012Validator(schema)
    failures = 0
    checked = 0
    with tempfile.TemporaryDirectory() as work:
        env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"))
        default = os.path.join(work, "default.dat")
        subprocess.run([cli, "new", "-o", default], check=True, env=env)
        sources = [default]
        for folder in corpora:
            sources += [os.path.join(folder, n) for n in sorted(os.listdir(folder))]
        for source in sources:
            data = source
            if source.endswith(".yaml"):
                data = os.path.join(work, "imported.dat")
                imported = subprocess.run([cli, "import", source, data], env=env,
                                          capture_output=True, text=True)
                if imported.returncode != 0:
                    # Every text of the corpus is one of this program's or of the other's.
                    if f"format: {program} " in open(source, encoding="utf-8").read():
                        print(f"{source}: not imported:\n{imported.stderr}")
                        failures += 1
                    continue
            result = subprocess.run([cli, "export", data, "-"], env=env, capture_output=True,
                                    text=True)
            if result.returncode != 0:
                continue  # a data file of the other program
            text = result.stdout
            first = text.split("\n", 1)[0]
            if not first.endswith(f"/{program}-config.schema.json"):
                print(f"{source}: the first line names no schema: {first}")
                failures += 1
            errors = list(validator.iter_errors(as_json(yaml.safe_load(text))))
            for error in errors:
                path = ".".join(str(p) for p in error.absolute_path)
                print(f"{source}: {path}: {error.message}")
            failures += len(errors)
            checked += 1
            if source == default:
                mistyped = as_json(yaml.safe_load(text.replace("  A:\n", "  A:\n    colour: 1\n")))
                if validator.is_valid(mistyped):
                    print("a mistyped key passed the schema")
                    failures += 1
                # The schema agrees with the import on what an editor may type.
                line = 'line 1: ""'
                for edited, valid in ((text.replace("rx: 28.015000", 'rx: "28.015"', 1), True),
                                      (text.replace(line, 'line 1: "Grüße"'), False),
                                      (text.replace(line, f'line 1: "{"x" * 33}"'), False)):
                    if validator.is_valid(as_json(yaml.safe_load(edited))) != valid:
                        print(f"the schema does not take what the import takes: {edited}")
                        failures += 1
    print(f"{checked} exported texts checked, {failures} problem(s)")
    return 1 if failures or checked < 2 else 0


if __name__ == "__main__":
    sys.exit(main())
