#!/usr/bin/env python3
"""The same band picture drawn by matplotlib, for scripts/bench to time the
programs against: reads a bands.x file (the &plot header, then each k point
and its levels), draws every band along the path with its corners marked,
the Fermi energy as a dashed line, and saves FILE (its suffix picks PDF, PNG
at 300 dpi, EPS or SVG), cropped to the drawing.

    bands-matplotlib.py BANDS_FILE FILE [FERMI_EV]
"""
import re
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402


def read_bands(path):
    with open(path) as f:
        text = f.read()
    head = re.match(r"\s*&plot\s+nbnd=\s*(\d+),\s*nks=\s*(\d+)\s*/", text)
    nbnd, nks = int(head.group(1)), int(head.group(2))
    numbers = [float(v) for v in text[head.end():].split()]
    ks, levels, at = [], [], 0
    for _ in range(nks):
        ks.append(numbers[at:at + 3])
        levels.append(numbers[at + 3:at + 3 + nbnd])
        at += 3 + nbnd
    return ks, levels


def path_length(ks):
    """Distance along the path and the k points where it turns."""
    x, corners = [0.0], [0.0]
    for i in range(1, len(ks)):
        d = [ks[i][j] - ks[i - 1][j] for j in range(3)]
        x.append(x[-1] + sum(v * v for v in d) ** 0.5)
        if 0 < i < len(ks) - 1:
            e = [ks[i + 1][j] - ks[i][j] for j in range(3)]
            cross = [d[1] * e[2] - d[2] * e[1], d[2] * e[0] - d[0] * e[2], d[0] * e[1] - d[1] * e[0]]
            if sum(v * v for v in cross) > 1e-10 * (sum(v * v for v in d) * sum(v * v for v in e)):
                corners.append(x[-1])
    corners.append(x[-1])
    return x, corners


def main():
    bands_file, out = sys.argv[1], sys.argv[2]
    fermi = float(sys.argv[3]) if len(sys.argv) > 3 else 0.0
    ks, levels = read_bands(bands_file)
    x, corners = path_length(ks)
    fig, ax = plt.subplots(figsize=(8.15, 6.6))
    for b in range(len(levels[0])):
        ax.plot(x, [lv[b] - fermi for lv in levels], color="tab:blue", linewidth=1.2)
    for c in corners:
        ax.axvline(c, color="black", linewidth=0.8)
    ax.axhline(0.0, color="black", linestyle="--", linewidth=0.8)
    ax.set_xlim(x[0], x[-1])
    ax.set_xticks(corners)
    ax.set_xticklabels([""] * len(corners))
    ax.set_ylabel("Energy (eV)")
    fig.savefig(out, dpi=300, bbox_inches="tight")


if __name__ == "__main__":
    main()
