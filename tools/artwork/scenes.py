#!/usr/bin/env python3
"""Writes the illustrated scenes of the passenger screens as SVG documents.

    scenes.py OUTDIR

OUTDIR receives background.svg, nfc-0.svg .. nfc-6.svg and barcode-0.svg ..
barcode-8.svg; render.sh turns them into the PNGs under qml/images/. Everything is
drawn from code (geometry, a seeded pseudo-random source) so the frames of an
animation stay consistent with each other and can be regenerated exactly.
"""

import math
import os
import random
import sys

W, H = 480, 800          # backdrop
FW, FH = 480, 536        # animation frame

# Palette shared by every picture.
NAVY_0 = "#030914"
NAVY_1 = "#071426"
NAVY_2 = "#0c2140"
NAVY_3 = "#14325c"
STEEL = "#2a4770"
TEAL = "#00add7"
TEAL_LIGHT = "#6fe0f7"
RED = "#ff2a3a"
GREEN = "#41b987"


def f(v):
    """Short number text for path data."""
    s = f"{v:.2f}".rstrip("0").rstrip(".")
    return "0" if s == "-0" else s


def poly(points, close=True):
    d = "M" + " L".join(f"{f(x)} {f(y)}" for x, y in points)
    return d + ("Z" if close else "")


def svg_doc(width, height, defs, body):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" '
            f'width="{width}" height="{height}" viewBox="0 0 {width} {height}">\n'
            f"<defs>\n{defs}\n</defs>\n{body}\n</svg>\n")


# --------------------------------------------------------------------------- backdrop

class Camera:
    """Pin-hole camera looking down +Z, y down; the hall is built in metres."""

    def __init__(self, cx, cy, focal):
        self.cx, self.cy, self.focal = cx, cy, focal

    def p(self, x, y, z):
        return (self.cx + self.focal * x / z, self.cy + self.focal * y / z)


def background():
    cam = Camera(282, 372, 250)
    eye = 1.7                       # eye height above the platform
    floor = eye                     # platform surface (y grows downwards)
    track = eye + 1.1               # track bed, below the platform edge
    spring, apex, half = -3.2, -8.6, 7.6   # vault: springing line, crown, half span
    z_near, z_far = 1.2, 140.0

    defs = []
    body = []
    defs.append(f'''
<linearGradient id="sky" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="{NAVY_0}"/>
  <stop offset="0.45" stop-color="{NAVY_2}"/>
  <stop offset="0.62" stop-color="#0f2a50"/>
  <stop offset="1" stop-color="{NAVY_0}"/>
</linearGradient>
<radialGradient id="vpglow" cx="{cam.cx}" cy="{cam.cy}" r="300" gradientUnits="userSpaceOnUse">
  <stop offset="0" stop-color="#3f8fc4" stop-opacity="0.55"/>
  <stop offset="0.25" stop-color="#1d4f86" stop-opacity="0.35"/>
  <stop offset="1" stop-color="#0c2140" stop-opacity="0"/>
</radialGradient>
<linearGradient id="platform" x1="0" y1="{cam.cy}" x2="0" y2="{H}" gradientUnits="userSpaceOnUse">
  <stop offset="0" stop-color="#17365f"/>
  <stop offset="1" stop-color="#06101f"/>
</linearGradient>
<linearGradient id="trainside" x1="0" y1="0" x2="1" y2="0">
  <stop offset="0" stop-color="#1b3a63"/>
  <stop offset="1" stop-color="#10284a"/>
</linearGradient>
<linearGradient id="shade" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="{NAVY_0}" stop-opacity="0.72"/>
  <stop offset="0.18" stop-color="{NAVY_0}" stop-opacity="0.30"/>
  <stop offset="0.5" stop-color="{NAVY_0}" stop-opacity="0.42"/>
  <stop offset="0.85" stop-color="{NAVY_0}" stop-opacity="0.40"/>
  <stop offset="1" stop-color="{NAVY_0}" stop-opacity="0.75"/>
</linearGradient>
<linearGradient id="skirt" x1="0" y1="{cam.cy}" x2="0" y2="{H}" gradientUnits="userSpaceOnUse">
  <stop offset="0" stop-color="#0f2645" stop-opacity="0.2"/>
  <stop offset="1" stop-color="{NAVY_0}" stop-opacity="0.9"/>
</linearGradient>
<radialGradient id="vignette" cx="0.55" cy="0.45" r="0.8">
  <stop offset="0.55" stop-color="#000000" stop-opacity="0"/>
  <stop offset="1" stop-color="#000000" stop-opacity="0.55"/>
</radialGradient>
<filter id="soft" x="-50%" y="-50%" width="200%" height="200%"><feGaussianBlur stdDeviation="6"/></filter>
<filter id="glow" x="-100%" y="-100%" width="300%" height="300%"><feGaussianBlur stdDeviation="3.5"/></filter>
<filter id="haze" x="-20%" y="-20%" width="140%" height="140%"><feGaussianBlur stdDeviation="14"/></filter>
<filter id="streak" x="-20%" y="-20%" width="140%" height="140%"><feGaussianBlur stdDeviation="1.6"/></filter>
''')
    body.append(f'<rect width="{W}" height="{H}" fill="url(#sky)"/>')
    body.append(f'<rect width="{W}" height="{H}" fill="url(#vpglow)"/>')

    # Vault: a shell between consecutive ribs, lighter towards the crown.
    def rib(z, steps=40):
        pts = []
        for i in range(steps + 1):
            t = math.pi * i / steps
            pts.append(cam.p(-half * math.cos(t), spring + (apex - spring) * math.sin(t), z))
        return pts

    rib_z = [z_near + 5.0 * k for k in range(0, 28)]
    for z in reversed(rib_z):
        pts = rib(z)
        depth = min(1.0, z / 80.0)
        w = max(0.6, 26.0 / z)
        col = "#2b5a8e" if z > 8 else "#23497a"
        body.append(f'<path d="{poly(pts, False)}" fill="none" stroke="{col}" '
                    f'stroke-opacity="{f(0.85 - 0.5 * depth)}" stroke-width="{f(w)}"/>')
        # purlins between ribs: slim lines along the vault at a few angles
    for t in (0.18, 0.36, 0.5, 0.64, 0.82):
        a = math.pi * t
        x, y = -half * math.cos(a), spring + (apex - spring) * math.sin(a)
        p0, p1 = cam.p(x, y, z_near), cam.p(x, y, z_far)
        body.append(f'<path d="M{f(p0[0])} {f(p0[1])} L{f(p1[0])} {f(p1[1])}" stroke="#2b5a8e" '
                    f'stroke-opacity="0.5" stroke-width="1.4"/>')

    # Skylight along the crown.
    sk = [cam.p(-1.3, apex + 0.05, z_near + 1.5), cam.p(1.3, apex + 0.05, z_near + 1.5),
          cam.p(1.3, apex + 0.05, z_far), cam.p(-1.3, apex + 0.05, z_far)]
    body.append(f'<path d="{poly(sk)}" fill="#5fb6e8" fill-opacity="0.16" filter="url(#soft)"/>')
    body.append(f'<path d="{poly(sk)}" fill="#7fd0f5" fill-opacity="0.10"/>')

    # Walls beyond the springing line: right wall with pillars, left side open over the track.
    rw = [cam.p(half, spring, z_near), cam.p(half, spring, z_far), cam.p(half, floor, z_far),
          cam.p(half, floor, z_near)]
    body.append(f'<path d="{poly(rw)}" fill="#0d2446" fill-opacity="0.9"/>')
    # lit panels on the right wall (timetable boards), soft
    for z in (9, 19, 31, 46):
        q = [cam.p(half - 0.05, -1.9, z), cam.p(half - 0.05, -1.9, z + 3.2),
             cam.p(half - 0.05, -0.2, z + 3.2), cam.p(half - 0.05, -0.2, z)]
        body.append(f'<path d="{poly(q)}" fill="#4aa8d8" fill-opacity="0.28"/>')
        body.append(f'<path d="{poly(q)}" fill="#4aa8d8" fill-opacity="0.25" filter="url(#glow)"/>')

    # Platform floor and track bed.
    plat = [cam.p(-1.5, floor, z_near), cam.p(-1.5, floor, z_far), cam.p(half, floor, z_far),
            cam.p(half, floor, z_near), (W, H), (cam.p(-1.5, floor, z_near)[0], H)]
    plat = [cam.p(-1.5, floor, 0.6), cam.p(-1.5, floor, z_far), cam.p(half, floor, z_far),
            cam.p(half, floor, 0.6)]
    body.append(f'<path d="{poly(plat)}" fill="url(#platform)"/>')
    # floor tiles: lines along the platform and across it
    for x in (0.0, 1.5, 3.0, 4.5, 6.0):
        p0, p1 = cam.p(x, floor, 0.8), cam.p(x, floor, z_far)
        body.append(f'<path d="M{f(p0[0])} {f(p0[1])} L{f(p1[0])} {f(p1[1])}" stroke="#2a5286" '
                    f'stroke-opacity="0.35" stroke-width="1"/>')
    for k in range(1, 40):
        z = 0.8 * (1.16 ** k)
        if z > 60:
            break
        p0, p1 = cam.p(-1.2, floor, z), cam.p(half, floor, z)
        body.append(f'<path d="M{f(p0[0])} {f(p0[1])} L{f(p1[0])} {f(p1[1])}" stroke="#2a5286" '
                    f'stroke-opacity="{f(0.28)}" stroke-width="1"/>')
    # safety line near the edge, reflecting the train lights
    edge = [cam.p(-1.5, floor, 0.6), cam.p(-1.5, floor, z_far), cam.p(-1.1, floor, z_far),
            cam.p(-1.1, floor, 0.6)]
    body.append(f'<path d="{poly(edge)}" fill="{TEAL}" fill-opacity="0.30"/>')

    # Pillars along the platform.
    for z in (4.5, 12.5, 20.5, 28.5, 36.5, 44.5, 52.5, 60.5, 68.5):
        x0, x1 = 3.4, 3.9
        front = [cam.p(x0, spring + 0.3, z), cam.p(x1, spring + 0.3, z), cam.p(x1, floor, z),
                 cam.p(x0, floor, z)]
        side = [cam.p(x0, spring + 0.3, z), cam.p(x0, spring + 0.3, z + 0.5), cam.p(x0, floor, z + 0.5),
                cam.p(x0, floor, z)]
        body.append(f'<path d="{poly(side)}" fill="#1a3b66"/>')
        body.append(f'<path d="{poly(front)}" fill="#10284b"/>')
        # light strip on the pillar's inner edge
        ls = [cam.p(x0, -1.2, z), cam.p(x0 + 0.06, -1.2, z), cam.p(x0 + 0.06, 0.6, z), cam.p(x0, 0.6, z)]
        body.append(f'<path d="{poly(ls)}" fill="{TEAL_LIGHT}" fill-opacity="0.55"/>')

    # Pendant lamps under the vault.
    lamps = []
    for z in [z_near + 2.5 + 5.0 * k for k in range(0, 16)]:
        for x in (-2.8, 2.8):
            px, py = cam.p(x, -3.6, z)
            r = max(0.8, 30.0 / z)
            lamps.append((px, py, r, z))
    for px, py, r, z in lamps:
        body.append(f'<circle cx="{f(px)}" cy="{f(py)}" r="{f(r * 2.8)}" fill="#8fd8ff" '
                    f'fill-opacity="{f(0.22)}" filter="url(#glow)"/>')
        body.append(f'<circle cx="{f(px)}" cy="{f(py)}" r="{f(r)}" fill="#d8f4ff" fill-opacity="0.85"/>')

    # The train, passing on the left, its far end near the vanishing point.
    tx0, tx1 = -1.65, -4.6                       # side face, far side
    ttop, tbot = -2.45, floor + 0.95
    tz0, tz1 = 0.7, 70.0
    side = [cam.p(tx0, ttop + 0.35, tz0), cam.p(tx0, ttop + 0.35, tz1), cam.p(tx0, tbot, tz1),
            cam.p(tx0, tbot, tz0)]
    roof = [cam.p(tx0, ttop + 0.35, tz0), cam.p(tx0 - 0.4, ttop, tz0), cam.p(tx1, ttop, tz0),
            cam.p(tx1, ttop, tz1), cam.p(tx0 - 0.4, ttop, tz1), cam.p(tx0, ttop + 0.35, tz1)]
    front = [cam.p(tx0, ttop + 0.35, tz1), cam.p(tx0 - 0.4, ttop, tz1), cam.p(tx1, ttop, tz1),
             cam.p(tx1, tbot, tz1), cam.p(tx0, tbot, tz1)]
    body.append(f'<path d="{poly(roof)}" fill="#27507f"/>')
    body.append(f'<path d="{poly(side)}" fill="url(#trainside)"/>')
    body.append(f'<path d="{poly(front)}" fill="#1f4675"/>')
    # window band, glowing, stretched by the motion
    wb = [cam.p(tx0 - 0.01, -1.35, tz0), cam.p(tx0 - 0.01, -1.35, tz1), cam.p(tx0 - 0.01, -0.35, tz1),
          cam.p(tx0 - 0.01, -0.35, tz0)]
    body.append(f'<path d="{poly(wb)}" fill="#0a1b33"/>')
    z = tz0 + 0.4
    while z < tz1 - 2:
        q = [cam.p(tx0 - 0.02, -1.25, z), cam.p(tx0 - 0.02, -1.25, z + 1.9), cam.p(tx0 - 0.02, -0.45, z + 1.9),
             cam.p(tx0 - 0.02, -0.45, z)]
        body.append(f'<path d="{poly(q)}" fill="#7cc8ee" fill-opacity="0.42"/>')
        z += 2.6
    body.append(f'<path d="{poly(wb)}" fill="#8fd8ff" fill-opacity="0.18" filter="url(#soft)"/>')
    # accent stripe and door lines
    st = [cam.p(tx0 - 0.02, 0.1, tz0), cam.p(tx0 - 0.02, 0.1, tz1), cam.p(tx0 - 0.02, 0.28, tz1),
          cam.p(tx0 - 0.02, 0.28, tz0)]
    body.append(f'<path d="{poly(st)}" fill="{TEAL}" fill-opacity="0.5"/>')
    # skirt below the stripe, darkening towards the track
    sk2 = [cam.p(tx0 - 0.02, 0.28, tz0), cam.p(tx0 - 0.02, 0.28, tz1), cam.p(tx0 - 0.02, tbot, tz1),
           cam.p(tx0 - 0.02, tbot, tz0)]
    body.append(f'<path d="{poly(sk2)}" fill="url(#skirt)"/>')
    ln = [cam.p(tx0 - 0.03, 0.42, tz0), cam.p(tx0 - 0.03, 0.42, tz1)]
    body.append(f'<path d="{poly(ln, False)}" stroke="{TEAL_LIGHT}" stroke-opacity="0.35" stroke-width="1.2"/>')
    for z in (9.6, 20.0, 31.0, 43.0, 55.0):
        p0, p1 = cam.p(tx0 - 0.02, ttop + 0.5, z), cam.p(tx0 - 0.02, tbot - 0.1, z)
        body.append(f'<path d="M{f(p0[0])} {f(p0[1])} L{f(p1[0])} {f(p1[1])}" stroke="#0a1b33" '
                    f'stroke-width="{f(max(0.8, 5.0 / z))}"/>')
    # head light of the far end
    hx, hy = cam.p(-3.1, 0.5, tz1)
    body.append(f'<circle cx="{f(hx)}" cy="{f(hy)}" r="9" fill="#bfeeff" fill-opacity="0.5" filter="url(#glow)"/>')
    # motion streaks along the train
    rnd = random.Random(7)
    for _ in range(34):
        y = rnd.uniform(ttop + 0.2, tbot - 0.2)
        za = rnd.uniform(tz0, 12.0)
        zb = za + rnd.uniform(6.0, 30.0)
        p0, p1 = cam.p(tx0 - 0.05, y, za), cam.p(tx0 - 0.05, y, zb)
        op = rnd.uniform(0.08, 0.3)
        body.append(f'<path d="M{f(p0[0])} {f(p0[1])} L{f(p1[0])} {f(p1[1])}" stroke="#bfeaff" '
                    f'stroke-opacity="{f(op)}" stroke-width="{f(rnd.uniform(0.8, 2.2))}" '
                    f'stroke-linecap="round" filter="url(#streak)"/>')
    # the blur of speed over the whole car body
    body.append(f'<path d="{poly(side)}" fill="#6bb8e6" fill-opacity="0.06" filter="url(#haze)"/>')

    # Light haze near the vanishing point, then the darkening that keeps text readable.
    body.append(f'<ellipse cx="{cam.cx}" cy="{cam.cy}" rx="120" ry="60" fill="#5aa8dc" fill-opacity="0.12" '
                f'filter="url(#haze)"/>')
    body.append(f'<rect width="{W}" height="{H}" fill="url(#shade)"/>')
    body.append(f'<rect width="{W}" height="{H}" fill="url(#vignette)"/>')
    return svg_doc(W, H, "".join(defs), "\n".join(body))


# --------------------------------------------------------------------------- animations

FRAME_DEFS = f"""
<linearGradient id="fade" x1="0" y1="0" x2="0" y2="{FH}" gradientUnits="userSpaceOnUse">
  <stop offset="0" stop-color="#ffffff" stop-opacity="0"/>
  <stop offset="0.045" stop-color="#ffffff" stop-opacity="1"/>
  <stop offset="0.86" stop-color="#ffffff" stop-opacity="1"/>
  <stop offset="1" stop-color="#ffffff" stop-opacity="0"/>
</linearGradient>
<mask id="edges" maskUnits="userSpaceOnUse" x="0" y="0" width="{FW}" height="{FH}">
  <rect width="{FW}" height="{FH}" fill="url(#fade)"/>
</mask>
<linearGradient id="pole" x1="0" y1="0" x2="1" y2="0">
  <stop offset="0" stop-color="#1a2d4a"/>
  <stop offset="0.3" stop-color="#6f8db5"/>
  <stop offset="0.45" stop-color="#b9cde6"/>
  <stop offset="0.7" stop-color="#39577f"/>
  <stop offset="1" stop-color="#14243d"/>
</linearGradient>
<linearGradient id="housing" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="#33455f"/>
  <stop offset="0.5" stop-color="#223149"/>
  <stop offset="1" stop-color="#182337"/>
</linearGradient>
<linearGradient id="shell" x1="0" y1="0" x2="1" y2="0">
  <stop offset="0" stop-color="#0a1322"/>
  <stop offset="1" stop-color="#152238"/>
</linearGradient>
<linearGradient id="screenIdle" x1="0" y1="0" x2="0.4" y2="1">
  <stop offset="0" stop-color="#0f3a66"/>
  <stop offset="1" stop-color="#071a33"/>
</linearGradient>
<linearGradient id="screenOk" x1="0" y1="0" x2="0.4" y2="1">
  <stop offset="0" stop-color="#2f9a6e"/>
  <stop offset="1" stop-color="#12573b"/>
</linearGradient>
<linearGradient id="glass" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="#1b2538"/>
  <stop offset="1" stop-color="#04070d"/>
</linearGradient>
<linearGradient id="reader" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="#2a3c58"/>
  <stop offset="1" stop-color="#1a283e"/>
</linearGradient>
<linearGradient id="cardFace" x1="0" y1="0" x2="1" y2="1">
  <stop offset="0" stop-color="#22c3e6"/>
  <stop offset="0.55" stop-color="#0a8fc0"/>
  <stop offset="1" stop-color="#066c9b"/>
</linearGradient>
<linearGradient id="skin" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="#f6d2b3"/>
  <stop offset="1" stop-color="#e2a985"/>
</linearGradient>
<linearGradient id="skinBack" x1="0" y1="0" x2="1" y2="1">
  <stop offset="0" stop-color="#f3c9a6"/>
  <stop offset="1" stop-color="#d99b76"/>
</linearGradient>
<linearGradient id="sleeve" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="#2f6ea8"/>
  <stop offset="1" stop-color="#173f69"/>
</linearGradient>
<linearGradient id="phoneBody" x1="0" y1="0" x2="1" y2="1">
  <stop offset="0" stop-color="#3a4558"/>
  <stop offset="1" stop-color="#11161f"/>
</linearGradient>
<linearGradient id="beam" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="{RED}" stop-opacity="0.75"/>
  <stop offset="1" stop-color="{RED}" stop-opacity="0.12"/>
</linearGradient>
<filter id="blur2" x="-50%" y="-50%" width="200%" height="200%"><feGaussianBlur stdDeviation="2"/></filter>
<filter id="blur4" x="-50%" y="-50%" width="200%" height="200%"><feGaussianBlur stdDeviation="4"/></filter>
<filter id="blur8" x="-50%" y="-50%" width="200%" height="200%"><feGaussianBlur stdDeviation="8"/></filter>
<filter id="shadow" x="-30%" y="-30%" width="160%" height="160%">
  <feGaussianBlur in="SourceAlpha" stdDeviation="7"/>
  <feOffset dx="-6" dy="10" result="b"/>
  <feFlood flood-color="#000814" flood-opacity="0.55"/>
  <feComposite in2="b" operator="in"/>
  <feMerge><feMergeNode/><feMergeNode in="SourceGraphic"/></feMerge>
</filter>
"""

# Validator layout (frame coordinates).
DEV_X, DEV_Y, DEV_W, DEV_H = 86, 30, 184, 290
POLE_X, POLE_W = 165, 26
DISPLAY = (DEV_X + 18, DEV_Y + 22, 148, 100)
READER = (DEV_X + 24, DEV_Y + 136, 136, 88)
READER_C = (READER[0] + READER[2] / 2, READER[1] + READER[3] / 2)
WINDOW = (DEV_X + 42, DEV_Y + 242, 100, 30)


def contactless_mark(cx, cy, scale, colour, opacity, width=2.0):
    """The waves pictogram, drawn with the icon geometry (24 units wide)."""
    return (f'<g transform="translate({f(cx)} {f(cy)}) scale({f(scale)}) translate(-12 -12)" fill="none" '
            f'stroke="{colour}" stroke-opacity="{f(opacity)}" stroke-width="{f(width)}" stroke-linecap="round">'
            '<path d="M6.2 8.2a5.4 5.4 0 0 1 0 7.6"/><path d="M9.6 5a9.9 9.9 0 0 1 0 14"/>'
            '<path d="M13 1.9a14.3 14.3 0 0 1 0 20.2"/>'
            f'<circle cx="3" cy="12" r="1.3" fill="{colour}" fill-opacity="{f(opacity)}" stroke="none"/></g>')


def qr_modules(seed, n=21):
    """A QR-looking module grid: the three finder patterns, timing lines and seeded data."""
    rnd = random.Random(seed)
    grid = [[rnd.random() < 0.5 for _ in range(n)] for _ in range(n)]
    def finder(r0, c0):
        for r in range(-1, 8):
            for c in range(-1, 8):
                rr, cc = r0 + r, c0 + c
                if 0 <= rr < n and 0 <= cc < n:
                    ring = max(abs(r - 3), abs(c - 3))
                    grid[rr][cc] = ring in (0, 1, 3)
    finder(0, 0)
    finder(0, n - 7)
    finder(n - 7, 0)
    for i in range(8, n - 8):
        grid[6][i] = grid[i][6] = (i % 2 == 0)
    return grid


def qr_path(x, y, size, seed):
    grid = qr_modules(seed)
    n = len(grid)
    m = size / n
    parts = []
    for r in range(n):
        c = 0
        while c < n:
            if grid[r][c]:
                c0 = c
                while c < n and grid[r][c]:
                    c += 1
                parts.append(f"M{f(x + c0 * m)} {f(y + r * m)}h{f((c - c0) * m)}v{f(m)}h{f(-(c - c0) * m)}z")
            else:
                c += 1
    return "".join(parts)


def validator(display, ring, window_glow):
    """The pole-mounted validator. display: 'card', 'qr' or 'ok'; ring: reader light 0..1;
    window_glow: red light of the scanner window 0..1."""
    out = []
    x, y, w, h = DEV_X, DEV_Y, DEV_W, DEV_H
    # pole with its clamps
    out.append(f'<rect x="{POLE_X}" y="-20" width="{POLE_W}" height="{FH + 40}" fill="url(#pole)"/>')
    for cy in (y - 16, y + h - 2):
        out.append(f'<rect x="{POLE_X - 8}" y="{cy}" width="{POLE_W + 16}" height="20" rx="5" fill="#24344d"/>')
        out.append(f'<rect x="{POLE_X - 8}" y="{cy}" width="{POLE_W + 16}" height="5" rx="2.5" fill="#4c6890" '
                   f'fill-opacity="0.7"/>')
    # body: dark shell giving depth on the left, then the front
    out.append(f'<g filter="url(#shadow)">')
    out.append(f'<rect x="{x - 12}" y="{y + 6}" width="{w}" height="{h}" rx="26" fill="url(#shell)"/>')
    out.append(f'<rect x="{x}" y="{y}" width="{w}" height="{h}" rx="26" fill="url(#housing)"/>')
    out.append('</g>')
    out.append(f'<rect x="{x + 1}" y="{y + 1}" width="{w - 2}" height="{h - 2}" rx="25" fill="none" '
               f'stroke="#5b79a3" stroke-opacity="0.55" stroke-width="1.5"/>')
    # status light on the top edge
    out.append(f'<rect x="{x + w / 2 - 30}" y="{y + 9}" width="60" height="4" rx="2" fill="{TEAL_LIGHT}" '
               f'fill-opacity="0.9"/>')
    out.append(f'<rect x="{x + w / 2 - 30}" y="{y + 9}" width="60" height="4" rx="2" fill="{TEAL}" '
               f'filter="url(#blur4)"/>')
    # display in its bezel
    dx, dy, dw, dh = DISPLAY
    out.append(f'<rect x="{dx}" y="{dy}" width="{dw}" height="{dh}" rx="10" fill="#05090f"/>')
    grad = "screenOk" if display == "ok" else "screenIdle"
    out.append(f'<rect x="{dx + 6}" y="{dy + 6}" width="{dw - 12}" height="{dh - 12}" rx="5" fill="url(#{grad})"/>')
    cx, cy = dx + dw / 2, dy + dh / 2
    if display == "ok":
        out.append(f'<circle cx="{f(cx)}" cy="{f(cy - 4)}" r="24" fill="none" stroke="#ffffff" stroke-width="4.5"/>')
        out.append(f'<path d="M{f(cx - 11)} {f(cy - 3)}l7.5 7.5 14.5-15.5" fill="none" stroke="#ffffff" '
                   f'stroke-width="5" stroke-linecap="round" stroke-linejoin="round"/>')
        out.append(f'<rect x="{f(cx - 30)}" y="{f(cy + 29)}" width="60" height="5" rx="2.5" fill="#ffffff" '
                   f'fill-opacity="0.6"/>')
    else:
        if display == "card":
            out.append(f'<rect x="{f(cx - 22)}" y="{f(cy - 30)}" width="44" height="30" rx="4" fill="none" '
                       f'stroke="{TEAL_LIGHT}" stroke-width="3"/>')
            out.append(contactless_mark(cx + 34, cy - 15, 1.1, TEAL_LIGHT, 0.9, 2.4))
        else:
            out.append(f'<path d="{qr_path(cx - 17, cy - 34, 34, 3)}" fill="{TEAL_LIGHT}"/>')
        out.append(f'<rect x="{f(cx - 40)}" y="{f(cy + 12)}" width="80" height="6" rx="3" fill="#ffffff" '
                   f'fill-opacity="0.85"/>')
        out.append(f'<rect x="{f(cx - 26)}" y="{f(cy + 24)}" width="52" height="4" rx="2" fill="#ffffff" '
                   f'fill-opacity="0.45"/>')
    # glass glare across the display
    out.append(f'<path d="M{dx + 6} {dy + 6}h{dw * 0.55}l-{dw * 0.3} {dh - 12}h-{dw * 0.25 - 6}z" '
               f'fill="#ffffff" fill-opacity="0.05"/>')
    # contactless reader with its light ring
    rx, ry, rw, rh = READER
    out.append(f'<rect x="{rx}" y="{ry}" width="{rw}" height="{rh}" rx="16" fill="url(#reader)"/>')
    if ring > 0:
        out.append(f'<rect x="{rx}" y="{ry}" width="{rw}" height="{rh}" rx="16" fill="none" stroke="{TEAL}" '
                   f'stroke-width="6" stroke-opacity="{f(ring)}" filter="url(#blur4)"/>')
    out.append(f'<rect x="{rx}" y="{ry}" width="{rw}" height="{rh}" rx="16" fill="none" stroke="{TEAL_LIGHT}" '
               f'stroke-width="2.5" stroke-opacity="{f(0.35 + 0.65 * ring)}"/>')
    out.append(contactless_mark(READER_C[0], READER_C[1], 2.4, "#ffffff", 0.85, 1.7))
    # scanner window
    wx, wy, ww, wh = WINDOW
    out.append(f'<rect x="{wx}" y="{wy}" width="{ww}" height="{wh}" rx="10" fill="url(#glass)"/>')
    if window_glow > 0:
        out.append(f'<rect x="{wx + 10}" y="{wy + 9}" width="{ww - 20}" height="{wh - 18}" rx="6" fill="{RED}" '
                   f'fill-opacity="{f(window_glow)}" filter="url(#blur4)"/>')
        out.append(f'<rect x="{wx + 22}" y="{wy + 14}" width="{ww - 44}" height="4" rx="2" fill="#ffd0d4" '
                   f'fill-opacity="{f(window_glow)}"/>')
    out.append(f'<rect x="{wx + 0.75}" y="{wy + 0.75}" width="{ww - 1.5}" height="{wh - 1.5}" rx="9.5" '
               f'fill="none" stroke="#6b84a8" stroke-opacity="0.45" stroke-width="1.5"/>')
    return "\n".join(out)


def sleeve(x0, y0, x1, y1, width):
    """A jacket sleeve from the wrist (x0, y0) out to (x1, y1)."""
    a = math.atan2(y1 - y0, x1 - x0)
    nx, ny = -math.sin(a), math.cos(a)
    hw0, hw1 = width / 2, width / 2 + 10
    pts = [(x0 + nx * hw0, y0 + ny * hw0), (x1 + nx * hw1, y1 + ny * hw1),
           (x1 - nx * hw1, y1 - ny * hw1), (x0 - nx * hw0, y0 - ny * hw0)]
    cuff = [(x0 + nx * (hw0 + 2), y0 + ny * (hw0 + 2)),
            (x0 + nx * (hw0 + 3) + 18 * math.cos(a), y0 + ny * (hw0 + 3) + 18 * math.sin(a)),
            (x0 - nx * (hw0 + 3) + 18 * math.cos(a), y0 - ny * (hw0 + 3) + 18 * math.sin(a)),
            (x0 - nx * (hw0 + 2), y0 - ny * (hw0 + 2))]
    return (f'<path d="{poly(pts)}" fill="url(#sleeve)"/>'
            f'<path d="{poly(cuff)}" fill="#3b82c4"/>'
            f'<path d="{poly(cuff)}" fill="none" stroke="#123459" stroke-opacity="0.5" stroke-width="1.5"/>')


def finger(x_tip, y, length, thick):
    """A finger pointing left with its nail, base at x_tip + length."""
    r = thick / 2
    return (f'<rect x="{f(x_tip)}" y="{f(y - r)}" width="{f(length)}" height="{f(thick)}" rx="{f(r)}" '
            f'fill="url(#skin)" stroke="#c98d68" stroke-width="1.3"/>'
            f'<rect x="{f(x_tip + 3)}" y="{f(y - r + 3.2)}" width="{f(thick * 0.8)}" height="{f(thick - 6.4)}" '
            f'rx="{f((thick - 6.4) / 2)}" fill="#fbe6d6" fill-opacity="0.9"/>')


def hand_with_card():
    """A right hand pressing a contactless card, in local coordinates: the card is centred
    on the origin, the arm leaves to the right."""
    out = []
    out.append(sleeve(150, 8, 470, 40, 78))
    # thumb tucked along the lower edge, partly behind the card
    out.append('<path d="M112 40 C96 56 70 62 40 56 C30 54 28 44 38 41 C60 40 80 34 96 24 Z" '
               'fill="url(#skin)" stroke="#c98d68" stroke-width="1.3"/>')
    # the card (its back faces us), with a soft shadow
    out.append('<rect x="-66" y="-42" width="132" height="84" rx="8" fill="#000814" fill-opacity="0.45" '
               'filter="url(#blur4)" transform="translate(-4 6)"/>')
    out.append('<rect x="-66" y="-42" width="132" height="84" rx="8" fill="url(#cardFace)"/>')
    out.append('<rect x="-66" y="-42" width="132" height="84" rx="8" fill="none" stroke="#bff2ff" '
               'stroke-opacity="0.6" stroke-width="1.2"/>')
    out.append('<path d="M-66 -20h132v14h-132z" fill="#06324d" fill-opacity="0.55"/>')
    out.append(contactless_mark(-44, 18, 0.95, "#ffffff", 0.9, 2.2))
    out.append('<path d="M-66 -42h70l-40 84h-30z" fill="#ffffff" fill-opacity="0.08"/>')
    # back of the hand, then the fingers lying over the card
    out.append('<path d="M60 -44 C88 -52 122 -44 154 -26 C164 -10 164 24 156 40 C130 52 96 54 70 44 '
               'C56 30 52 -30 60 -44 Z" fill="url(#skinBack)" stroke="#c98d68" stroke-width="1.3"/>')
    out.append(finger(2, -31, 86, 19))
    out.append(finger(-8, -12, 92, 20))
    out.append(finger(-2, 8, 88, 20))
    out.append(finger(10, 27, 78, 18))
    # knuckle shading where the fingers meet the hand
    out.append('<path d="M84 -40 C94 -20 94 20 86 40" fill="none" stroke="#c98d68" stroke-opacity="0.55" '
               'stroke-width="2" stroke-linecap="round"/>')
    return "\n".join(out)


def hand_with_phone(screen_lit):
    """A right hand holding a phone up, screen to the viewer, in local coordinates: the
    phone is centred on the origin, the arm leaves to the lower right."""
    out = []
    pw, ph = 96, 176
    out.append(sleeve(70, 122, 360, 330, 80))
    # palm behind the phone's lower half
    out.append('<path d="M-44 30 C-50 70 -30 118 10 136 C40 150 74 140 86 118 C96 90 84 50 60 20 Z" '
               'fill="url(#skinBack)" stroke="#c98d68" stroke-width="1.3"/>')
    out.append(f'<rect x="{-pw / 2}" y="{-ph / 2}" width="{pw}" height="{ph}" rx="14" fill="#000814" '
               f'fill-opacity="0.5" filter="url(#blur4)" transform="translate(-4 7)"/>')
    out.append(f'<rect x="{-pw / 2}" y="{-ph / 2}" width="{pw}" height="{ph}" rx="14" fill="url(#phoneBody)"/>')
    out.append(f'<rect x="{-pw / 2 + 0.75}" y="{-ph / 2 + 0.75}" width="{pw - 1.5}" height="{ph - 1.5}" rx="13.3" '
               f'fill="none" stroke="#8ea3c2" stroke-opacity="0.7" stroke-width="1.5"/>')
    sx, sy, sw, sh = -pw / 2 + 5, -ph / 2 + 12, pw - 10, ph - 24
    out.append(f'<rect x="{sx}" y="{sy}" width="{sw}" height="{sh}" rx="6" fill="#f4f8fc"/>')
    # ticket on the screen: a header bar, the code, two text lines
    out.append(f'<rect x="{sx}" y="{sy}" width="{sw}" height="22" rx="6" fill="{TEAL}"/>')
    out.append(f'<rect x="{sx}" y="{sy + 14}" width="{sw}" height="8" fill="{TEAL}"/>')
    out.append(f'<rect x="{sx + 8}" y="{sy + 8}" width="34" height="5" rx="2.5" fill="#ffffff" fill-opacity="0.9"/>')
    q = 64
    out.append(f'<path d="{qr_path(-q / 2, sy + 32, q, 11)}" fill="#0b1626"/>')
    out.append(f'<rect x="{sx + 12}" y="{sy + 106}" width="{sw - 24}" height="6" rx="3" fill="#0b1626" '
               f'fill-opacity="0.7"/>')
    out.append(f'<rect x="{sx + 20}" y="{sy + 118}" width="{sw - 40}" height="5" rx="2.5" fill="#0b1626" '
               f'fill-opacity="0.4"/>')
    if screen_lit:
        out.append(f'<rect x="{sx}" y="{sy}" width="{sw}" height="{sh}" rx="6" fill="#ffffff" fill-opacity="0.05"/>')
    out.append(f'<rect x="-12" y="{-ph / 2 + 5}" width="24" height="3" rx="1.5" fill="#0a0f18"/>')
    # fingers around the left edge, thumb up the right edge
    for yy in (34, 56, 78):
        out.append(f'<path d="M{-pw / 2 + 10} {yy - 9} C{-pw / 2 - 4} {yy - 10} {-pw / 2 - 10} {yy + 6} '
                   f'{-pw / 2 + 4} {yy + 10} Z" fill="url(#skin)" stroke="#c98d68" stroke-width="1.3"/>')
    out.append(f'<path d="M{pw / 2 + 14} 118 C{pw / 2 + 18} 90 {pw / 2 + 10} 60 {pw / 2 - 4} 36 '
               f'C{pw / 2 - 14} 30 {pw / 2 - 20} 42 {pw / 2 - 14} 56 C{pw / 2 - 8} 76 {pw / 2 - 8} 100 '
               f'{pw / 2 - 6} 120 Z" fill="url(#skin)" stroke="#c98d68" stroke-width="1.3"/>')
    return "\n".join(out)


def waves(count, fade):
    """Contactless waves leaving the reader on the side away from the hand."""
    out = []
    cx, cy = READER_C
    for k in range(count):
        r = 112 + 22 * k
        a0, a1 = math.radians(160), math.radians(200)
        p0 = (cx + r * math.cos(a0), cy - r * math.sin(a0))
        p1 = (cx + r * math.cos(a1), cy - r * math.sin(a1))
        op = (0.95 - 0.25 * k) * fade
        for colour, width, flt in ((TEAL, 10, ' filter="url(#blur4)"'), (TEAL_LIGHT, 4.5, "")):
            out.append(f'<path d="M{f(p0[0])} {f(p0[1])}A{r} {r} 0 0 0 {f(p1[0])} {f(p1[1])}" fill="none" '
                       f'stroke="{colour}" stroke-width="{width}" stroke-linecap="round" '
                       f'stroke-opacity="{f(op)}"{flt}/>')
    return "\n".join(out)


def frame(content):
    # Transparent around the drawing, so the backdrop shows; the pole and the arms fade out
    # before the frame's edges, which lie inside the screen.
    body = f'<g mask="url(#edges)">\n{content}\n</g>'
    return svg_doc(FW, FH, FRAME_DEFS, body)


def nfc_frames():
    """Card animation: the card comes in from the lower right (0-3), touches the reader (4),
    the reader answers (5, 6)."""
    end = (READER_C[0] + 4, READER_C[1] + 2, 22.0)
    start = (440, 470, 38.0)
    steps = [0.0, 0.45, 0.75, 0.93, 1.0, 1.0, 1.0]
    frames = []
    for i, t in enumerate(steps):
        x = start[0] + (end[0] - start[0]) * t
        y = start[1] + (end[1] - start[1]) * t
        a = start[2] + (end[2] - start[2]) * t
        ring = {4: 0.7, 5: 1.0, 6: 1.0}.get(i, 0.0)
        parts = [validator("ok" if i >= 5 else "card", ring, 0.0)]
        if i >= 5:
            parts.append(waves(2 if i == 5 else 3, 1.0))
        parts.append(f'<g filter="url(#shadow)"><g transform="translate({f(x)} {f(y)}) rotate({f(a)})">'
                     f'{hand_with_card()}</g></g>')
        frames.append(frame("\n".join(parts)))
    return frames


def barcode_frames():
    """Ticket animation: the phone comes up under the scanner (0-3), the beam wakes (4) and
    reads the code (5, 6); 7 and 8 hold the pose of 5."""
    end = (178, 432, -6.0)
    start = (390, 515, -22.0)
    steps = [0.0, 0.45, 0.75, 0.93, 1.0, 1.0, 1.0, 1.0, 1.0]
    frames = []
    for i, t in enumerate(steps):
        x = start[0] + (end[0] - start[0]) * t
        y = start[1] + (end[1] - start[1]) * t
        a = start[2] + (end[2] - start[2]) * t
        if i in (7, 8):
            i = 5
        glow = {4: 0.45, 5: 1.0, 6: 1.0}.get(i, 0.0)
        parts = [validator("qr", 0.0, glow)]
        parts.append(f'<g filter="url(#shadow)"><g transform="translate({f(x)} {f(y)}) rotate({f(a)})">'
                     f'{hand_with_phone(glow > 0)}</g></g>')
        if glow > 0:
            parts.append(beam(x, y, a, glow, {4: 0.5, 5: 0.5, 6: 0.78}[i]))
        frames.append(frame("\n".join(parts)))
    return frames


def beam(px, py, angle, strength, line_at):
    """The red fan from the scanner window onto the code of the phone at (px, py, angle);
    line_at places the bright scan line on the code (0 top .. 1 bottom)."""
    wx, wy, ww, wh = WINDOW
    a = math.radians(angle)
    def to_frame(lx, ly):
        return (px + lx * math.cos(a) - ly * math.sin(a), py + lx * math.sin(a) + ly * math.cos(a))
    top = -176 / 2 + 12 + 32           # code position in the phone's coordinates
    q0, q1 = to_frame(-40, top - 4), to_frame(40, top - 4)
    q2, q3 = to_frame(40, top + 68), to_frame(-40, top + 68)
    src_l, src_r = (wx + 24, wy + wh - 10), (wx + ww - 24, wy + wh - 10)
    out = []
    fan = [src_l, src_r, q2, q3]
    out.append(f'<path d="{poly(fan)}" fill="url(#beam)" fill-opacity="{f(0.55 * strength)}"/>')
    out.append(f'<path d="{poly(fan)}" fill="{RED}" fill-opacity="{f(0.12 * strength)}" filter="url(#blur8)"/>')
    ly = top - 4 + 72 * line_at
    l0, l1 = to_frame(-46, ly), to_frame(46, ly)
    for colour, width, op, flt in ((RED, 10, 0.8, ' filter="url(#blur4)"'), ("#ff6b77", 3.5, 1.0, ""),
                                   ("#ffe3e6", 1.2, 0.9, "")):
        out.append(f'<path d="M{f(l0[0])} {f(l0[1])}L{f(l1[0])} {f(l1[1])}" stroke="{colour}" '
                   f'stroke-width="{width}" stroke-linecap="round" stroke-opacity="{f(op * strength)}"{flt}/>')
    return "\n".join(out)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out, exist_ok=True)
    docs = {"background.svg": background()}
    for i, text in enumerate(nfc_frames()):
        docs[f"nfc-{i}.svg"] = text
    for i, text in enumerate(barcode_frames()):
        docs[f"barcode-{i}.svg"] = text
    for name, text in docs.items():
        with open(os.path.join(out, name), "w") as fh:
            fh.write(text)


if __name__ == "__main__":
    main()
