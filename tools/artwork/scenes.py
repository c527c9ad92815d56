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
    body.append(f'<path d="{poly(st)}" fill="{TEAL}" fill-opacity="0.75"/>')
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


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out, exist_ok=True)
    docs = {"background.svg": background()}
    for name, text in docs.items():
        with open(os.path.join(out, name), "w") as fh:
            fh.write(text)


if __name__ == "__main__":
    main()
