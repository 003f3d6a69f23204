"""Spiral curves worked again at 50 digits.

Runs the test program's SpiralDump.RandomCases (random curves with their stations, stakes and
coordinates), recomputes every result with mpmath from the same doubles by other means
(the clothoid from the Fresnel integrals C and S rather than its power series, p and k
by their defining subtractions, the points by plain rotation of the frame) and fails when
a double is more than 1e-12 off: relative for lengths and angles, of Delta (Rc Delta for
Lc) for the arc's Delta_c, of the largest station for stations, of the larger of its
size and its distance from the TS for a coordinate, and of its chord for a stake's x.
Prints the largest errors seen.

    spiral_check.py PATH/survey_spiral_test
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
LIMIT = 1e-12
worst = {}
failures = []


def num(word):  # the exact double written by %a
    return mpf(float.fromhex(word))


def note(what, error, line):
    worst[what] = max(worst.get(what, 0), float(error))
    if not error <= LIMIT:
        failures.append("%s off by %.3g: %s" % (what, float(error), line.strip()[:200]))


def rel(what, got, exact, line, scale=None):
    note(what, abs(got - exact) / (abs(exact) if scale is None else scale), line)


def clothoid(l, rc, ls):
    """x, y at l: A sqrt(pi) (C, S)(l / (A sqrt(pi))), A^2 = Rc Ls."""
    a = mpmath.sqrt(rc * ls * mp.pi)
    return a * mpmath.fresnelc(l / a), a * mpmath.fresnels(l / a)


class Curve:
    def __init__(self, v, line):
        rc, delta, ls, pista, az = map(num, v[:5])
        left, from_pi = int(v[5]), int(v[6])
        at = (num(v[7]), num(v[8]))
        got = list(map(num, v[9:26]))
        pts = list(map(num, v[26:38]))
        self.rc, self.ls, self.s = rc, ls, -1 if left else 1
        d = mpmath.radians(delta)
        th = ls / (2 * rc)
        xs, ys = clothoid(ls, rc, ls)
        p = ys - rc * (1 - mpmath.cos(th))
        k = xs - rc * mpmath.sin(th)
        ts = (rc + p) * mpmath.tan(d / 2) + k
        es = (rc + p) / mpmath.cos(d / 2) - rc
        dc = d - 2 * th
        lc = rc * dc
        exact = [th, xs, ys, p, k, ts, es, xs - ys / mpmath.tan(th), ys / mpmath.sin(th),
                 mpmath.hypot(xs, ys), mpmath.degrees(mpmath.atan(ys / xs))]
        names = ["theta_s", "Xs", "Ys", "p", "k", "Ts", "Es", "LT", "ST", "LC", "SC deflection"]
        for name, g, e in zip(names, got, exact):
            rel(name, g, e, line)
        rel("Delta_c", mpmath.radians(got[11]), dc, line, d)
        rel("Lc", got[12], lc, line, rc * d)
        st_ts = pista - ts
        stations = [st_ts, st_ts + ls, st_ts + ls + lc, st_ts + 2 * ls + lc]
        self.station_scale = max(abs(pista), ts + 2 * ls + lc)
        for name, g, e in zip(["TS", "SC", "CS", "ST"], got[13:17], stations):
            rel("station " + name, g, e, line, self.station_scale)
        # The frame: u along the back tangent, v square to it towards the centre.
        a = mpmath.radians(az)
        self.cu, self.su = mpmath.cos(a), mpmath.sin(a)
        if from_pi:
            self.ts = (at[0] - ts * self.cu, at[1] - ts * self.su)
        else:
            self.ts = at
        self.delta, self.th, self.xs, self.ys = d, th, xs, ys
        cd, sd = mpmath.cos(d), mpmath.sin(d)
        self.stu, self.stv = ts + ts * cd, ts * sd
        self.cd, self.sd = cd, sd
        local = [(0, 0), (xs, ys), (k, rc + p), self.exit_point(xs, ys), (self.stu, self.stv),
                 (ts, 0)]
        self.line = line
        for i, name in enumerate(["TS", "SC", "CC", "CS", "ST", "PI"]):
            self.check_point(name, pts[2 * i], pts[2 * i + 1], *local[i])

    def exit_point(self, x, y):
        return (self.stu - x * self.cd - y * self.sd, self.stv - x * self.sd + y * self.cd)

    def check_point(self, name, gn, ge, u, v):
        n = self.ts[0] + u * self.cu - self.s * v * self.su
        e = self.ts[1] + u * self.su + self.s * v * self.cu
        scale = max(abs(n), abs(e), mpmath.hypot(u, v), 1e-300)
        note("coordinates", max(abs(gn - n), abs(ge - e)) / scale, self.line + " " + name)

    def stake(self, v, line):
        part = int(v[0])
        station, dist, x, y, defl, approx, chord, gn, ge = map(num, v[1:10])
        rc, ls = self.rc, self.ls
        if part == 1:  # arc, from the SC
            d = dist / (2 * rc)
            ex = [2 * rc * mpmath.sin(d) * mpmath.cos(d), 2 * rc * mpmath.sin(d) ** 2,
                  mpmath.degrees(d), mpmath.degrees(d), 2 * rc * mpmath.sin(d)]
            c, s = mpmath.cos(self.th), mpmath.sin(self.th)
            u, w = self.xs + ex[0] * c - ex[1] * s, self.ys + ex[0] * s + ex[1] * c
        else:
            cx, cy = clothoid(dist, rc, ls)
            theta = dist * dist / (2 * rc * ls)
            ex = [cx, cy, mpmath.degrees(mpmath.atan2(cy, cx)) if dist > 0 else 0,
                  mpmath.degrees(theta / 3), mpmath.hypot(cx, cy)]
            u, w = (cx, cy) if part == 0 else self.exit_point(cx, cy)
        scale = max(dist, 1e-300)
        for name, g, e in zip(["x", "y", "deflection", "theta/3", "chord"],
                              [x, y, defl, approx, chord], ex):
            if name == "x":  # on an arc of Delta_c near 180, a small part of its chord
                rel("stake " + name, g, e, line, max(ex[4], 1e-300))
            elif e == 0:
                rel("stake " + name, g, e, line, scale)
            else:
                rel("stake " + name, g, e, line)
        self.check_point("stake", gn, ge, u, w)


def main():
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "cases.txt")
        env = dict(os.environ, BENDWISE_SPIRAL_DUMP=path)
        subprocess.run([sys.argv[1], "--gtest_filter=SpiralDump.RandomCases"], env=env, check=True,
                       stdout=subprocess.DEVNULL)
        with open(path) as f:
            lines = f.readlines()
    curves = stakes = 0
    curve = None
    for line in lines:
        words = line.split()
        if words[0] == "c":
            curve = Curve(words[1:], line)
            curves += 1
        else:
            curve.stake(words[1:], line)
            stakes += 1
    if curves < 1000 or stakes < 1000 * 6:
        failures.append("only %d curves and %d stakes written" % (curves, stakes))
    for what in sorted(worst):
        print("%-24s largest error %.3g" % (what, worst[what]))
    print("%d curves, %d stakes" % (curves, stakes))
    for failure in failures[:20]:
        print("FAIL", failure)
    return 1 if failures else 0


sys.exit(main())
