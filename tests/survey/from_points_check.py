"""Curves from points, and station and offset, worked again at 50 digits.

Runs the test program's Dump.RandomCases (random curves placed by survey/Coordinates, their
points given back), recomputes every result with mpmath from the same doubles by other
formulas (the circle through three points by its linear equations, Delta from the
centre's azimuths, the nearest element by brute distances) and fails when a double is
more than 1e-9 (relative, or of a turn for angles) off. Prints the largest errors seen.

    from_points_check.py PATH/survey_from_points_test
Exit 77 (skipped) when mpmath is missing, unless CI is set.
"""
import os
import subprocess
import sys
import tempfile

try:
    import mpmath
    from mpmath import mp, mpf
except ImportError:
    print("mpmath is missing (Debian: python3-mpmath)")
    sys.exit(1 if os.environ.get("CI") else 77)

mp.dps = 50
TWO_PI = 2 * mp.pi
LIMIT = 1e-9
worst = {}
failures = []


def note(what, error, line):
    worst[what] = max(worst.get(what, 0), float(error))
    if not error <= LIMIT:
        failures.append("%s off by %.3g: %s" % (what, float(error), line.strip()))


def num(word):  # the exact double written by %a
    return mpf(float.fromhex(word))


def az(dn, de):  # radians clockwise from north, [0, 2 pi)
    return mpmath.atan2(de, dn) % TWO_PI


def turn_gap(a, b):  # two angles in radians, as a fraction of a turn
    d = (a - b) % TWO_PI
    return min(d, TWO_PI - d) / TWO_PI


def deg(x):
    return mpmath.radians(mpf(x))


def check_curve(kind, line, s, r, delta, inbound, got):
    """got: radius, delta (degrees), inbound (degrees), left."""
    note(kind + " radius", abs(num(got[0]) - r) / r, line)
    note(kind + " delta", abs(deg(num(got[1])) - delta) / TWO_PI, line)
    note(kind + " inbound", turn_gap(deg(num(got[2])), inbound), line)
    if int(got[3]) != (s < 0):
        failures.append(kind + " turns the wrong way: " + line.strip())


def arc(v, line):
    (an, ae, mn, me, bn, be), got = map(num, v[:6]), v[6:]
    # Centre (x, y) relative to the PC: 2 x.m = |m|^2 and 2 x.b = |b|^2.
    m, b = (mn - an, me - ae), (bn - an, be - ae)
    det = m[0] * b[1] - m[1] * b[0]
    mm, bb = m[0] ** 2 + m[1] ** 2, b[0] ** 2 + b[1] ** 2
    cn, ce = (mm * b[1] - bb * m[1]) / (2 * det), (bb * m[0] - mm * b[0]) / (2 * det)
    r = mpmath.hypot(cn, ce)
    s = 1 if det > 0 else -1  # the middle point to the left of the chord: a right turn
    from_pc, from_pt = az(-cn, -ce), az(b[0] - cn, b[1] - ce)
    delta = (s * (from_pt - from_pc)) % TWO_PI
    check_curve("three points", line, s, r, delta, (az(cn, ce) - s * mp.pi / 2), got)


def radius_point(v, line):
    (an, ae, on, oe, bn, be), major, got = map(num, v[:6]), int(v[6]), v[7:]
    r = mpmath.hypot(an - on, ae - oe)
    side = (bn - an) * (oe - ae) - (be - ae) * (on - an)
    s = (1 if side > 0 else -1) * (-1 if major else 1)
    delta = (s * (az(bn - on, be - oe) - az(an - on, ae - oe))) % TWO_PI
    check_curve("radius point", line, s, r, delta,
                az(on - an, oe - ae) - s * mp.pi / 2, got[:4])
    misclosure = mpmath.hypot(bn - on, be - oe) - r
    note("radius point misclosure", abs(num(got[4]) - misclosure) / r, line)


def tangent_points(v, line):
    (an, ae, pn, pe, bn, be), got = map(num, v[:6]), v[6:]
    back, ahead = az(pn - an, pe - ae), az(bn - pn, be - pe)
    turn = (ahead - back + mp.pi) % TWO_PI - mp.pi
    s = 1 if turn > 0 else -1
    mean = (mpmath.hypot(pn - an, pe - ae) + mpmath.hypot(bn - pn, be - pe)) / 2
    check_curve("tangents", line, s, mean / mpmath.tan(abs(turn) / 2), abs(turn),
                back, got)


def station_offset(v, line):
    pcn, pce, inbound, r, delta, left, station0, qn, qe = map(num, v[:9])
    element, got_station, got_offset = int(v[9]), num(v[10]), num(v[11])
    s = -1 if left else 1
    a, dl = deg(inbound), deg(delta)
    dn, de = qn - pcn, qe - pce
    # Back tangent.
    along = dn * mpmath.cos(a) + de * mpmath.sin(a)
    cands = [(along <= 0, station0 + along, -dn * mpmath.sin(a) + de * mpmath.cos(a))]
    # Curve, from its centre.
    cn, ce = r * mpmath.cos(a + s * mp.pi / 2), r * mpmath.sin(a + s * mp.pi / 2)
    turned = (s * (az(dn - cn, de - ce) - az(-cn, -ce))) % TWO_PI
    if turned > dl / 2 + mp.pi:
        turned -= TWO_PI
    rho = mpmath.hypot(dn - cn, de - ce)
    cands.append((0 <= turned <= dl, station0 + r * turned, s * (r - rho)))
    # Ahead tangent, from the PT.
    ptn = cn + r * mpmath.cos(a - s * mp.pi / 2 + s * dl)
    pte = ce + r * mpmath.sin(a - s * mp.pi / 2 + s * dl)
    b = a + s * dl
    along2 = (dn - ptn) * mpmath.cos(b) + (de - pte) * mpmath.sin(b)
    cands.append((along2 >= 0, station0 + r * dl + along2,
                  -(dn - ptn) * mpmath.sin(b) + (de - pte) * mpmath.cos(b)))
    scale = max(r, mpmath.hypot(dn, de))
    on = [i for i, c in enumerate(cands) if c[0]]
    best = min(on, key=lambda i: abs(cands[i][2]))
    if element != best:
        # Equally near within the rounding: either answer is right.
        gap = abs(abs(cands[element][2]) - abs(cands[best][2])) / scale
        if element not in on or gap > LIMIT:
            failures.append("station and offset on the wrong element: " + line.strip())
            return
    _, station, offset = cands[element]
    note("station", abs(got_station - station) / max(scale, abs(station)), line)
    note("offset", abs(got_offset - offset) / scale, line)


def main():
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "cases.txt")
        env = dict(os.environ, BENDWISE_FROM_POINTS_DUMP=path)
        subprocess.run([sys.argv[1], "--gtest_filter=Dump.RandomCases"], env=env, check=True,
                       stdout=subprocess.DEVNULL)
        with open(path) as f:
            lines = f.readlines()
    kinds = {"arc": arc, "rp": radius_point, "pi": tangent_points, "so": station_offset}
    for line in lines:
        words = line.split()
        kinds[words[0]](words[1:], line)
    if len(lines) < 8000:
        failures.append("only %d cases written" % len(lines))
    for what in sorted(worst):
        print("%-24s largest error %.3g" % (what, worst[what]))
    for failure in failures[:20]:
        print("FAIL", failure)
    return 1 if failures else 0


sys.exit(main())
