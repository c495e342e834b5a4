#!/usr/bin/env python3
"""Writes a korva data file of N generated subjects with 20 covariates and 4
outcomes, for timing and memory measurements of whole runs.

Usage: make_scale_data.py N OUTPUT [SEED]

Covariates: 14 continuous, 4 ordinal (0-9) and 2 nominal (0-4), then the four
outcomes. The outcomes depend on a few covariates and share a subject effect,
so the tree has something to find and the outcomes are associated. The same N
and SEED always give the same file.
"""
import random
import sys


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    n = int(sys.argv[1])
    output = sys.argv[2]
    rng = random.Random(int(sys.argv[3]) if len(sys.argv) == 4 else 20260101)
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
            fields += [str(v) for v in outcomes]
            out.write(" ".join(fields) + "\n")


if __name__ == "__main__":
    main()
