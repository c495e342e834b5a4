#!/usr/bin/env python3
"""Writes a korva data file of N generated subjects with 20 covariates and 4
outcomes, for timing and memory measurements of whole runs.

Usage: make_scale_data.py N OUTPUT [SEED] [--missing FRACTION]

Covariates: 14 continuous, 4 ordinal (0-9) and 2 nominal (0-4), then the four
outcomes. The outcomes depend on a few covariates and share a subject effect,
so the tree has something to find and the outcomes are associated. The same N
and SEED always give the same file.

With --missing, each value of the continuous and nominal covariates is
replaced by the missing code -9 with the given probability (answer 1 and -9
to the missing-value questions); a missing nominal value becomes a category of
its own, and every continuous covariate with missing values gets a
missingness copy.
"""
import random
import sys


def main():
    args = sys.argv[1:]
    missing = 0.0
    if "--missing" in args:
        at = args.index("--missing")
        if at + 1 >= len(args):
            sys.exit(__doc__)
        missing = float(args[at + 1])
        del args[at:at + 2]
    if len(args) not in (2, 3):
        sys.exit(__doc__)
    n = int(args[0])
    output = args[1]
    rng = random.Random(int(args[2]) if len(args) == 3 else 20260101)
    # A separate generator for the missing values, so that the observed
    # values are those of the file without them.
    holes = random.Random(rng.random())
    types = [1] * 14 + [2] * 4 + [3] * 2 + [-1] * 4
    with open(output, "w") as out:
        out.write(f"{n} 20 4\n")
        out.write(" ".join(str(t) for t in types) + "\n")
        for _ in range(n):
            cont = [rng.gauss(0.0, 1.0) for _ in range(14)]
            ordi = [rng.randrange(10) for _ in range(4)]
            nomi = [rng.randrange(5) for _ in range(2)]
            shared = rng.gauss(0.0, 1.0)
            base = 0.8 * cont[0] - 0.5 * cont[1] + 0.15 * ordi[0] + (0.7 if nomi[0] in (1, 3) else 0.0)
            outcomes = []
            for k in range(4):
                score = base * (1.0 - 0.2 * k) + 0.8 * shared - 0.9 + rng.gauss(0.0, 1.0)
                outcomes.append(1 if score > 0 else 0)
            fields = [f"{v:.4f}" for v in cont] + [str(v) for v in ordi + nomi]
            if missing > 0.0:
                for k in list(range(14)) + [18, 19]:
                    if holes.random() < missing:
                        fields[k] = "-9"
            fields += [str(v) for v in outcomes]
            out.write(" ".join(fields) + "\n")


if __name__ == "__main__":
    main()
