#!/usr/bin/env python3
"""Counts what differs between two output corpora (scripts/output-corpus.sh).

    corpus_diff.py NATIVE_DIR WEB_DIR

For every --json line each number of "values" and each string of "texts" is compared on
its own; --fields lines are texts too; every other file is compared line by line. Prints
one line per file that differs and a summary; exits 1 when anything differs.
"""
import json
import os
import sys


def files(root):
    for folder, _, names in os.walk(root):
        for name in names:
            path = os.path.join(folder, name)
            yield os.path.relpath(path, root)


def walk(a, b, path, counts):
    """Counts differing leaves of two parsed JSON values: numbers and strings."""
    if isinstance(a, dict) and isinstance(b, dict) and a.keys() == b.keys():
        for key in a:
            walk(a[key], b[key], path + (key,), counts)
    elif isinstance(a, list) and isinstance(b, list) and len(a) == len(b):
        for x, y in zip(a, b):
            walk(x, y, path, counts)
    elif a != b or type(a) is not type(b):
        kind = "values" if "values" in path or isinstance(a, (int, float)) else "texts"
        counts[kind] = counts.get(kind, 0) + 1
        counts.setdefault("first", (path, a, b))


def compare(name, a, b):
    counts = {}
    lines_a = a.split(b"\n")
    lines_b = b.split(b"\n")
    if len(lines_a) != len(lines_b):
        counts["line count"] = abs(len(lines_a) - len(lines_b)) or 1
    for x, y in zip(lines_a, lines_b):
        if x == y:
            continue
        if x.startswith(b"{") and y.startswith(b"{"):
            try:
                walk(json.loads(x), json.loads(y), (), counts)
                continue
            except ValueError:
                pass
        kind = "texts" if b"=" in x and name.endswith("-fields.out") else "lines"
        counts[kind] = counts.get(kind, 0) + 1
        counts.setdefault("first", (x[:80], y[:80]))
    return counts


def main():
    native, web = sys.argv[1], sys.argv[2]
    total = {}
    names = sorted(set(files(native)) | set(files(web)))
    for name in names:
        pa, pb = os.path.join(native, name), os.path.join(web, name)
        if not (os.path.exists(pa) and os.path.exists(pb)):
            print(f"{name}: only in {'the first' if os.path.exists(pa) else 'the second'}")
            total["files"] = total.get("files", 0) + 1
            continue
        with open(pa, "rb") as fa, open(pb, "rb") as fb:
            a, b = fa.read(), fb.read()
        if a == b:
            continue
        counts = compare(name, a, b)
        first = counts.pop("first", None)
        print(f"{name}: {counts} first: {first}")
        for key, value in counts.items():
            total[key] = total.get(key, 0) + value
    print(f"compared {len(names)} files; differing: "
          + (", ".join(f"{v} {k}" for k, v in sorted(total.items())) or "none"))
    return 1 if total else 0


if __name__ == "__main__":
    sys.exit(main())
