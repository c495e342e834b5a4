#!/usr/bin/env python3
"""Writes examples/NAME.csv from examples/NAME.dat for the bundled examples.

Each CSV has a header row of column names, the data file's columns in the same
order and every number exactly as its token in the data file (so it reads as
the same float), the missing code of the example's dialogue run written as NA
in covariate columns, and text labels in place of the category numbers of a
few columns. Every label map keeps the numbers' order in the byte order of the
labels, so the labels' categories are the data file's numbers.

Usage: scripts/make_example_csv.py [EXAMPLES_DIR]   (default: examples/)
"""
import csv
import struct
import sys
from pathlib import Path

VOTES = [f"V{i}" for i in range(1, 17)]
YES_NO = {"0": "no", "1": "yes"}

EXAMPLES = {
    "birthwt": {
        "names": ["low", "age", "lwt", "race", "smoke", "ptl", "ht", "ui", "ftv", "bwt"],
        "missing": None,
        "labels": {},
    },
    "pbc": {
        "names": ["id", "trt", "age", "sex", "ascites", "hepato", "spiders", "edema", "bili",
                  "chol", "albumin", "copper", "alk.phos", "ast", "trig", "platelet", "protime",
                  "stage"],
        "missing": "-9",
        # sex stays 0/1 (0 = male): "female" < "male" would swap the numbers.
        "labels": {"trt": {"0": "D-penicillamine", "1": "placebo"}},
    },
    "votes": {
        "names": ["party"] + VOTES,
        "missing": "9",
        "labels": {"party": {"0": "democrat", "1": "republican"},
                   **{name: YES_NO for name in VOTES}},
    },
}


def as_float32(token):
    return struct.unpack("f", struct.pack("f", float(token)))[0]


def read_dat(path):
    tokens = path.read_text().split()
    n, p, q = (int(t) for t in tokens[:3])
    columns = p + q
    types = [int(t) for t in tokens[3:3 + columns]]
    values = tokens[3 + columns:]
    if len(values) != n * columns:
        sys.exit(f"{path}: {len(values)} values, expected {n} x {columns}")
    return types, [values[i * columns:(i + 1) * columns] for i in range(n)]


def convert(directory, name, layout):
    types, rows = read_dat(directory / f"{name}.dat")
    names = layout["names"]
    if len(names) != len(types):
        sys.exit(f"{name}: {len(names)} names for {len(types)} columns")
    for column, labels in layout["labels"].items():
        by_number = [labels[k] for k in sorted(labels, key=int)]
        if [label.encode() for label in by_number] != sorted(label.encode() for label in by_number):
            sys.exit(f"{name}: the labels of {column} do not keep the numbers' order")
    missing = as_float32(layout["missing"]) if layout["missing"] is not None else None
    with open(directory / f"{name}.csv", "w", newline="") as out:
        writer = csv.writer(out, lineterminator="\n")
        writer.writerow(names)
        for row in rows:
            cells = []
            for column, kind, token in zip(names, types, row):
                if kind > 0 and missing is not None and as_float32(token) == missing:
                    cells.append("NA")
                elif column in layout["labels"]:
                    cells.append(layout["labels"][column][token])
                else:
                    cells.append(token)
            writer.writerow(cells)


def main():
    directory = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent.parent / "examples")
    for name, layout in EXAMPLES.items():
        convert(directory, name, layout)


if __name__ == "__main__":
    main()
