#!/usr/bin/env python3
"""Writes bench/solver_positions.txt: seeded, uniformly random solvable positions for the
solver benchmark, one a line (the numbers in reading order, 0 for the empty cell).
Run again with the same seed to get the same file."""
import random
import sys
from pathlib import Path

SEED = 20261210
COUNTS = {3: 100, 4: 100, 5: 10, 6: 10, 7: 10, 8: 10}


def solvable(cells, n):
    big = n * n
    order = [c or big for c in cells]
    inversions = sum(1 for i in range(big) for j in range(i + 1, big) if order[i] > order[j])
    blank = cells.index(0)
    away = (n - 1 - blank // n) + (n - 1 - blank % n)
    return (inversions + away) % 2 == 0


def main():
    rng = random.Random(SEED)
    lines = []
    for n, count in COUNTS.items():
        for _ in range(count):
            while True:
                cells = list(range(n * n))
                rng.shuffle(cells)
                if solvable(cells, n):
                    break
            lines.append(" ".join(map(str, cells)))
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "bench" / "solver_positions.txt"
    out.write_text("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
