#!/usr/bin/env python3
"""Writes the loop figures of docs/hysteresis.md (hysteresis-*.svg beside this script).

The paths are the hand-worked vertices of tests/analysis/HysteresisTest.cpp, in units of
the yield displacement and the yield force, p = 0.25. Run it again after changing them:
    python3 docs/figures/hysteresis-figures.py
"""
import math
import pathlib

P = 0.25
LOOPS = {
    "bilinear": ("Bilinear (kinematic hardening), 0 → 3δy → −3δy → 3δy → 0",
                 [(0, 0), (1, 1), (3, 1.5), (1, -0.5), (-3, -1.5), (-1, 0.5), (3, 1.5),
                  (1, -0.5), (0, -0.75)],
                 [(-5, -5 * P - (1 - P)), (5, 5 * P - (1 - P))],  # the lower yield line
                 [(-5, -5 * P + (1 - P)), (5, 5 * P + (1 - P))]),  # and the upper one
    "clough": ("Degrading bilinear (Clough), with reversals before zero force",
               [(0, 0), (1, 1), (3, 1.5), (1.5, 0), (-1, -1), (-3, -1.5), (-1.5, 0), (0, 0.5),
                (-0.25, 0.25), (0, 0.5), (3, 1.5), (4, 1.75), (2.5, 0.25), (4, 1.75),
                (4.5, 1.875), (2.625, 0), (0, -0.7)], None, None),
    "origin": ("Origin-oriented, with a reversal off the skeleton",
               [(0, 0), (1, 1), (3, 1.5), (1, 0.5), (3, 1.5), (4, 1.75), (0, 0), (-1, -1),
                (-3, -1.5), (0, 0), (4, 1.75), (4.5, 1.875)], None, None),
}

W, H = 560, 420
LEFT, RIGHT, TOP, BOTTOM = 60, 20, 40, 50
XMIN, XMAX, QMIN, QMAX = -5, 5, -2.25, 2.25


def sx(x):
    return LEFT + (x - XMIN) / (XMAX - XMIN) * (W - LEFT - RIGHT)


def sy(q):
    return TOP + (QMAX - q) / (QMAX - QMIN) * (H - TOP - BOTTOM)


def skeleton(x):
    return x if abs(x) <= 1 else math.copysign(1 + P * (abs(x) - 1), x)


def line(a, b, style):
    return (f'<line x1="{sx(a[0]):.1f}" y1="{sy(a[1]):.1f}" x2="{sx(b[0]):.1f}" '
            f'y2="{sy(b[1]):.1f}" {style}/>')


def arrow(a, b):
    """A small filled triangle at the middle of segment a-b, pointing along it."""
    x0, y0, x1, y1 = sx(a[0]), sy(a[1]), sx(b[0]), sy(b[1])
    length = math.hypot(x1 - x0, y1 - y0)
    if length < 14:
        return ""
    ux, uy = (x1 - x0) / length, (y1 - y0) / length
    mx, my = (x0 + x1) / 2 + 4 * ux, (y0 + y1) / 2 + 4 * uy
    pts = [(mx, my), (mx - 8 * ux - 4 * uy, my - 8 * uy + 4 * ux),
           (mx - 8 * ux + 4 * uy, my - 8 * uy - 4 * ux)]
    return '<polygon points="' + " ".join(f"{x:.1f},{y:.1f}" for x, y in pts) + \
        '" fill="#c0392b"/>'


def figure(title, path, lower, upper):
    out = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{W}" height="{H}" '
           f'viewBox="0 0 {W} {H}" font-family="sans-serif" font-size="12">',
           f'<rect width="{W}" height="{H}" fill="white"/>',
           f'<text x="{W / 2}" y="22" text-anchor="middle" font-size="14">{title}</text>']
    for x in range(XMIN, XMAX + 1):  # grid and axes
        out.append(line((x, QMIN), (x, QMAX), 'stroke="#eee"' if x else 'stroke="#888"'))
        out.append(f'<text x="{sx(x):.1f}" y="{H - BOTTOM + 16}" text-anchor="middle">{x}</text>')
    for q in (-2, -1, 0, 1, 2):
        out.append(line((XMIN, q), (XMAX, q), 'stroke="#eee"' if q else 'stroke="#888"'))
        out.append(f'<text x="{LEFT - 6}" y="{sy(q) + 4:.1f}" text-anchor="end">{q}</text>')
    out.append(f'<text x="{W - RIGHT}" y="{H - 8}" text-anchor="end">x / δy</text>')
    out.append(f'<text x="14" y="{TOP - 8}">Q / Qy</text>')
    for x in (-1, 1):  # the yield displacements
        out.append(line((x, QMIN), (x, QMAX), 'stroke="#2e86c1" stroke-dasharray="2,3"'))
        out.append(f'<text x="{sx(x) + 3:.1f}" y="{sy(QMIN) - 4:.1f}" fill="#2e86c1">'
                   f'{"+" if x > 0 else "−"}δy</text>')
    if lower:
        for a, b in (lower, upper):
            out.append(line(a, b, 'stroke="#999" stroke-dasharray="1,4"'))
    xs = [XMIN + i * 0.05 for i in range(int((XMAX - XMIN) / 0.05) + 1)]
    out.append('<polyline fill="none" stroke="#555" stroke-dasharray="6,4" points="' +
               " ".join(f"{sx(x):.1f},{sy(skeleton(x)):.1f}" for x in xs) + '"/>')
    out.append('<polyline fill="none" stroke="#c0392b" stroke-width="2" points="' +
               " ".join(f"{sx(x):.1f},{sy(q):.1f}" for x, q in path) + '"/>')
    for a, b in zip(path, path[1:]):
        out.append(arrow(a, b))
    legend = [f"skeleton dashed, p = {P}"] + (["yield lines dotted"] if lower else [])
    for i, text in enumerate(legend):
        out.append(f'<text x="{LEFT + 8}" y="{sy(1.9) + 16 * i:.1f}" fill="#555">{text}</text>')
    out.append("</svg>")
    return "\n".join(s for s in out if s) + "\n"


here = pathlib.Path(__file__).resolve().parent
for name, (title, path, lower, upper) in LOOPS.items():
    (here / f"hysteresis-{name}.svg").write_text(figure(title, path, lower, upper), encoding="utf-8")
