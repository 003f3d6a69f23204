#!/usr/bin/python3
# Computes, independently of the C++ engine, the exact doubles of one curve per solvable
# pair: the pair's solving steps and every derived element, each formula evaluated in the
# order and grouping the engine must use, in Python floats (IEEE doubles). The engine's
# sin, cos, tan, asin, acos and atan are correctly rounded (math/Trig.h); here they are
# too, computed with mpmath at 200 bits and rounded to the nearest double (python3-mpmath).
# Prints the C++ table of Recalculate.ExactDoublesOfOneCurvePerPair; the values there came
# from this script. A reordered formula in the engine (/ 100 for x 0.01, (x + x) x k for
# x x (2 x k)) changes the last bits and fails that test.
import math

import mpmath

mpmath.mp.prec = 200


def correctly_rounded(f):
    return lambda x: float(f(mpmath.mpf(x)))


class CorrectlyRounded:
    """The functions of math that the engine takes from math/Trig.h."""
    sin = staticmethod(correctly_rounded(mpmath.sin))
    cos = staticmethod(correctly_rounded(mpmath.cos))
    tan = staticmethod(correctly_rounded(mpmath.tan))
    asin = staticmethod(correctly_rounded(mpmath.asin))
    acos = staticmethod(correctly_rounded(mpmath.acos))
    atan = staticmethod(correctly_rounded(mpmath.atan))
    sqrt = staticmethod(math.sqrt)
    isnan = staticmethod(math.isnan)


trig = CorrectlyRounded

PI = 3.141592653589793
K = 180 / PI  # degrees per radian, computed as the engine computes it
FLOOR = 1e-25


def floor(v):
    return FLOOR if (v < FLOOR or math.isnan(v)) else v


def sqrt(v):
    return math.sqrt(v) if v >= 0 else float("nan")


def x_minus_sin(x):  # the series below 1, as the engine sums it
    if x > 1:
        return x - trig.sin(x)
    x2 = x * x
    nested = 1.0
    for k in range(12, 1, -1):
        nested = 1 - x2 / ((2.0 * k) * (2.0 * k + 1)) * nested
    return x * x2 / 6 * nested


def newton_to_root(x, limit, f, slope):
    fx = f(x)
    nxt = x - fx / slope(x)
    ulp = math.nextafter(x, limit + 1) - x
    if not abs(nxt - x) > 4 * ulp:
        return x
    before = -1.0
    for _ in range(64):
        if not (nxt > 0 and nxt <= limit):
            return x
        if nxt == x:
            return x
        if nxt == before:
            return nxt if abs(f(nxt)) < abs(fx) else x
        before, x = x, nxt
        fx = f(x)
        nxt = x - fx / slope(x)
    return x


def chord_slope(t):
    if t < 0.1:
        t2 = t * t
        return -t * (1.0 / 3 - t2 * (1.0 / 30 - t2 / 840))
    return (t * trig.cos(t) - trig.sin(t)) / (t * t)


def tangent_slope(u):
    u2 = u * u
    if u < 0.1:
        return u * (2.0 / 3 + u2 * (8.0 / 15 + u2 * (34.0 / 105)))
    c = trig.cos(u)
    return (u / (c * c) - trig.tan(u)) / u2


def invert_chord_ratio(r, s):  # sin(x) / x = r with s = 1 - r: 20 fixed-gain steps, Newton
    x = sqrt(3 * (1 - r) * (1 + r)) if r > 0.7 else 3 * (1 - r) * sqrt(1 + r)
    if not x > 0:
        x = 1e-10
    g = 3.0 if r > 0.84 else 2.25 + 2 * abs(r - 0.42)
    for _ in range(20):
        x = x - g * (r - trig.sin(x) / x)
    if not s > 0:
        return x
    return newton_to_root(x, 3.141592653589793, lambda t: s - x_minus_sin(t) / t, chord_slope)


def invert_tangent_ratio(r, q):  # tan(x) / x = r with q = r - 1: 10 steps, Newton
    x = 1.0 if r > 1.4 else sqrt(3 * (r - 1))
    if not x > 0:
        x = 1e-10
    for _ in range(10):
        t = trig.tan(x)
        x = x + (x - t / r) / (x * t - (r - 1) / r)
    if not (r > 1 and q > 0):
        return x

    def f(u):
        half = trig.sin(u / 2)
        return (2 * u * half * half - x_minus_sin(u)) / trig.cos(u) / u - q
    return newton_to_root(x, 1.5707963267948966, f, tangent_slope)


def solve(pair, v):
    """The pair's steps on the session state `v`, in place."""
    R, L, Lrr, C, T, D = (v[k] for k in ("R", "L", "Lrr", "C", "T", "D"))
    if pair == "radius+larc":
        R = floor(R); D = (180 * L) / (PI * R)
    elif pair == "radius+lrr":
        R = floor(R); Dc = trig.asin(50 / R) * (2 * K); D = (Dc * Lrr) * 0.01
        L = (PI * R * D) / 180
    elif pair == "larc+lrr":
        L = floor(L); x = invert_chord_ratio(Lrr / L, (L - Lrr) / L); Dc = ((x + x) * 180) / PI
        Dc = floor(Dc); R = 50 / trig.sin(Dc / (2 * K)); R = floor(R); D = (180 * L) / (PI * R)
    elif pair == "radius+delta":
        L = (PI * R * D) / 180
    elif pair == "larc+delta":
        D = floor(D); R = (180 * L) / (PI * D)
    elif pair == "lrr+delta":
        Lrr = floor(Lrr); R = 50 / trig.sin((50 * D) / (Lrr * K)); L = (PI * R * D) / 180
    elif pair == "radius+chord":
        R = floor(R); D = trig.asin(C / (2 * R)) * (2 * K); L = (PI * R * D) / 180
    elif pair == "larc+chord":
        L = floor(L); x = invert_chord_ratio(C / L, (L - C) / L); D = x * (2 * K); D = floor(D)
        R = (180 * L) / (PI * D)
    elif pair == "delta+chord":
        R = C / (2 * trig.sin(D / (2 * K))); L = (PI * R * D) / 180
    elif pair == "radius+tangent":
        R = floor(R); D = trig.atan(T / R) * (2 * K); L = (PI * R * D) / 180
    elif pair == "larc+tangent":
        L = floor(L); x = invert_tangent_ratio((2 * T) / L, (2 * T - L) / L); D = (x + x) * K; D = floor(D)
        R = (180 * L) / (PI * D)
    elif pair == "delta+tangent":
        D = floor(D); R = T / trig.tan(D / (2 * K)); L = (PI * R * D) / 180
    elif pair == "chord+tangent":
        T = floor(T); D = trig.acos(C / (2 * T)) * (2 * K); D = floor(D)
        R = C / (2 * trig.sin(D / (2 * K))); L = (PI * R * D) / 180
    v.update(R=R, L=L, Lrr=Lrr, C=C, T=T, D=D)


def derive(R, L, D, az, left):
    out = {"radius": R}
    out["degree-arc"] = abs(18000 / (PI * R))
    Dc = trig.asin(50 / R) * (2 * K)
    out["degree-chord"] = Dc
    out["larc"] = L
    out["lrr"] = (100 * D) / Dc
    C = (2 * R) * trig.sin(D / (2 * K))
    T = trig.tan(D / (2 * K)) * R
    out["chord"], out["tangent"], out["delta"], out["inbound-az"] = C, T, D, az
    chord_az = az - D / 2 if left else D / 2 + az
    out["chord-az"] = chord_az
    out["outbound-az"] = az - D if left else az + D
    E = trig.tan(D / (4 * K)) * T
    M = (1 - trig.cos(D / (2 * K))) * R
    out["external"], out["mid-ordinate"] = E, M
    out["delta-x"] = trig.sin(chord_az / K) * C
    out["delta-y"] = trig.cos(chord_az / K) * C
    circle = (PI * R) * R
    sector = (circle * D) / 360
    out["circle-area"], out["sector-area"] = circle, sector
    out["segment-area"] = sector - ((R - M) * C) / 2
    out["fillet-area"] = (T - L / 2) * R
    return out


GROUPS = {"radius": 1, "larc": 2, "lrr": 4, "delta": 8, "chord": 16, "tangent": 32}
NAMES = {1: "radius", 2: "larc", 4: "lrr", 8: "delta", 16: "chord", 32: "tangent"}
ORDER = [1, 2, 4, 8, 16, 32]
MEMBER = {"radius": "R", "larc": "L", "lrr": "Lrr", "delta": "D", "chord": "C", "tangent": "T"}


def session(entries, left):
    """The calculator from its start curve: each entry stored, its pair solved, every
    element derived again (which also recomputes Lrr, chord and tangent)."""
    v = {"R": 5729.577951, "L": 100.0, "D": 9999.0, "Lrr": 0.0, "C": 0.0, "T": 0.0}
    last, prev = 1, 2
    az = 0.0

    def recalculate():
        a, b = sorted((last, prev))
        solve(NAMES[a] + "+" + NAMES[b], v)
        out = derive(v["R"], v["L"], v["D"], az, left)
        v.update(Lrr=out["lrr"], C=out["chord"], T=out["tangent"])
        return out

    out = recalculate()
    for word in entries.split():
        name, text = word.split("=")
        if name == "inbound-az":
            az = float(text)
            out = recalculate()
            continue
        v[MEMBER[name]] = float(text)
        group = GROUPS[name]
        if group != last:
            last, prev = group, last
        out = recalculate()
    return out


# The entries typed (packed off, angles as decimal degrees), and the left turn.
CASES = [
    ("radius=1000 larc=200", False),
    ("radius=1000 lrr=250", False),
    ("larc=523.6 lrr=523.38", False),
    ("radius=1000 delta=30", False),
    ("larc=600 delta=30", False),
    ("lrr=500 delta=25", False),
    ("radius=1000 chord=500", False),
    ("larc=600 chord=580", False),
    ("delta=40 chord=400", False),
    ("radius=1000 tangent=300", False),
    ("larc=600 tangent=320", False),
    ("delta=50 tangent=250", False),
    ("chord=400 tangent=250", True),
]

KEYS = ["radius", "degree-arc", "degree-chord", "larc", "lrr", "chord", "tangent", "delta",
        "inbound-az", "chord-az", "outbound-az", "external", "mid-ordinate", "delta-x",
        "delta-y", "circle-area", "sector-area", "segment-area", "fillet-area"]

for entries, left in CASES:
    out = session("inbound-az=45 " + entries, left)
    numbers = ", ".join(repr(out[k]) for k in KEYS)
    print('    {"%s", %s, {%s}},' % (entries, "true" if left else "false", numbers))
