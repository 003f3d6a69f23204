#!/usr/bin/python3
"""The files of a curve with spirals, read back by readers of their own.

usage: spiral_files_check.py BENDWISE_CLI

For each curve below bendwise-cli writes --json, --points, --landxml, --dxf and --svg from a
known PI. Then:
  - the points file numbers TS, SC, CC, CS, ST, PI and every stake once, where the JSON
    puts them;
  - the LandXML alignment is Line, Spiral, Curve, Spiral, Line, each element starting
    where the one before ends, in station and on the ground; the Spirals carry the JSON's
    values, and their PI lies LT from the TS and ST from the SC (and the same from the ST and
    CS), the Curve is the arc of radius Rc from SC to CS about CC;
  - ezdxf's audit finds nothing in the DXF; its two SPIRAL polylines run TS to SC and CS to
    ST, every vertex on the clothoid as the Fresnel integrals (mpmath) give it, and every
    chord within 0.001 of the clothoid between its ends;
  - the SVG names TS, SC, CS, ST and PI.
Runs under Debian's /usr/bin/python3 (python3-ezdxf, python3-mpmath); skipped (77) where
they are missing unless CI is set.
"""
import csv
import json
import math
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

try:
    import ezdxf
    import mpmath
except ImportError:
    if os.environ.get("CI"):
        sys.exit("python3-ezdxf or python3-mpmath is missing")
    sys.exit(77)

mpmath.mp.dps = 30
CLI = sys.argv[1]
NS = {"x": "http://www.landxml.org/schema/LandXML-1.2"}

# name, entries, spiral length, PI, PI station, stakeout interval
CURVES = [
    ("right", ["radius=1000", "delta=30", "inbound-az=45"], "100", "5000,2000", "25+00", "50"),
    ("left", ["left=on", "radius=300", "delta=75", "inbound-az=200"], "120", "1000,1000",
     "10+00", "25"),
    ("metres", ["radius=450", "delta=42.5", "inbound-az=330"], "95", "712345.678,7123456.789",
     "3200", "20"),
    ("flat spiral", ["radius=20000", "delta=4", "inbound-az=90"], "60", "0,0", "100+00",
     "100"),
    ("sharp", ["left=on", "radius=50", "delta=170", "inbound-az=0"], "120", "100,100",
     "5+00", "10"),
]

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def near(a, b, scale, what):
    check(abs(a - b) <= 1e-10 * scale + 1e-9, f"{what}: {a!r} against {b!r}")


def direction(azimuth):
    r = math.radians(azimuth)
    return (math.cos(r), math.sin(r))  # northing, easting


def clothoid(l, rc, ls):
    # x = a C(l/a), y = a S(l/a) with a^2 = pi Rc Ls: the Fresnel integrals of the
    # clothoid whose tangent has turned l^2 / (2 Rc Ls).
    a = mpmath.sqrt(mpmath.pi * rc * ls)
    z = mpmath.mpf(l) / a
    return float(a * mpmath.fresnelc(z)), float(a * mpmath.fresnels(z))


def frame_point(origin, along, square, x, y):
    return (origin[0] + x * along[0] + y * square[0], origin[1] + x * along[1] + y * square[1])


def distance(p, q):
    return math.hypot(p[0] - q[0], p[1] - q[1])


def off_segment(p, a, b):
    """Distance of p from segment a-b (northing, easting)."""
    ab = (b[0] - a[0], b[1] - a[1])
    t = ((p[0] - a[0]) * ab[0] + (p[1] - a[1]) * ab[1]) / (ab[0] ** 2 + ab[1] ** 2)
    t = min(1.0, max(0.0, t))
    return distance(p, (a[0] + t * ab[0], a[1] + t * ab[1]))


def point_text(element):
    n, e = element.text.split()
    return (float(n), float(e))


for name, entries, ls_text, pi, pi_station, interval in CURVES:
    with tempfile.TemporaryDirectory() as folder:
        files = {k: os.path.join(folder, "c." + k) for k in ("csv", "xml", "dxf", "svg")}
        args = [CLI, "packed=off", *entries, "--spiral", ls_text, "--pi", pi, "--pi-station",
                pi_station, "--stakeout", interval, "--json", "--points", files["csv"],
                "--landxml", files["xml"], "--dxf", files["dxf"], "--svg", files["svg"]]
        run = subprocess.run(args, capture_output=True, text=True)
        if run.returncode != 0:
            failures.append(f"{name}: exit {run.returncode}: {run.stderr.strip()}")
            continue
        s = json.loads(run.stdout)["spiral"]
        at = {k: (v["northing"], v["easting"]) for k, v in s["coordinates"].items()
              if k != "error"}
        scale = max(abs(c) for p in at.values() for c in p) + s["ts"]
        left = "left=on" in entries
        side = -1 if left else 1
        inbound = float(entries[-1].split("=")[1])
        outbound = inbound + side * float(entries[-2].split("=")[1])

        # Points: the named six, then the stakes that are not named, numbered 1 on.
        with open(files["csv"], newline="") as f:
            rows = list(csv.reader(f))
        named_stations = {s["stations"][k] for k in ("ts", "sc", "cs", "st")}
        expected = [(k.upper(), at[k]) for k in ("ts", "sc", "cc", "cs", "st", "pi")]
        expected += [(None, (r["northing"], r["easting"])) for r in s["stakeout"]["rows"]
                     if r["station"] not in named_stations]
        check(len(rows) == len(expected), f"{name}: {len(rows)} points, {len(expected)} wanted")
        for i, (row, (label, where)) in enumerate(zip(rows, expected)):
            check(row[0] == str(i + 1), f"{name}: point {i + 1} numbered {row[0]}")
            if label:
                check(row[4] == label, f"{name}: point {i + 1} is {row[4]}, not {label}")
            near(float(row[1]), where[0], 1e4 * scale, f"{name}: point {i + 1} northing")
            near(float(row[2]), where[1], 1e4 * scale, f"{name}: point {i + 1} easting")

        # LandXML: the five elements, chained in station and on the ground.
        root = ET.parse(files["xml"]).getroot()
        geom = root.find("x:Alignments/x:Alignment/x:CoordGeom", NS)
        kinds = [e.tag.split("}")[1] for e in geom]
        check(kinds == ["Line", "Spiral", "Curve", "Spiral", "Line"], f"{name}: {kinds}")
        if kinds == ["Line", "Spiral", "Curve", "Spiral", "Line"]:
            line1, sp1, arc, sp2, line2 = list(geom)
            for a, b in zip(geom[:-1], geom[1:]):
                near(float(a.get("staStart")) + float(a.get("length")), float(b.get("staStart")),
                     scale, f"{name}: station where {b.tag} starts")
                end, start = point_text(a.find("x:End", NS)), point_text(b.find("x:Start", NS))
                check(end == start, f"{name}: {a.tag} ends at {end}, {b.tag} starts at {start}")
            near(float(sp1.get("staStart")), s["stations"]["ts"], scale, f"{name}: TS station")
            check(point_text(sp1.find("x:Start", NS)) == at["ts"], f"{name}: spiral at TS")
            check(point_text(sp2.find("x:End", NS)) == at["st"], f"{name}: spiral to ST")
            check(point_text(arc.find("x:Center", NS)) == at["cc"], f"{name}: centre CC")
            for sp, entry in ((sp1, True), (sp2, False)):
                check(sp.get("spiType") == "clothoid", f"{name}: spiType {sp.get('spiType')}")
                check(sp.get("rot") == ("ccw" if left else "cw"), f"{name}: rot")
                inf = "radiusStart" if entry else "radiusEnd"
                check(sp.get(inf) == "INF", f"{name}: {inf} {sp.get(inf)}")
                for attr, key in (("length", "ls"), ("theta", "theta-s"), ("totalX", "xs"),
                                  ("totalY", "ys"), ("tanLong", "lt"), ("tanShort", "st"),
                                  ("chord", "lc")):
                    check(float(sp.get(attr)) == s[key], f"{name}: Spiral {attr} {sp.get(attr)}")
                start = point_text(sp.find("x:Start", NS))
                spi = point_text(sp.find("x:PI", NS))
                end = point_text(sp.find("x:End", NS))
                tangent_end, curve_end = (start, end) if entry else (end, start)
                near(distance(spi, tangent_end), s["lt"], scale, f"{name}: spiral PI to LT")
                near(distance(spi, curve_end), s["st"], scale, f"{name}: spiral PI to ST")
            check(float(arc.get("radius")) == s["rc"], f"{name}: Curve radius")
            check(float(arc.get("delta")) == s["delta-c"], f"{name}: Curve delta")
            check(float(arc.get("length")) == s["lc-arc"], f"{name}: Curve length")
            for end in ("Start", "End"):
                near(distance(point_text(arc.find("x:" + end, NS)), at["cc"]), s["rc"], scale,
                     f"{name}: Curve {end} one radius from CC")

        # DXF: audit, the two polylines on the clothoid, chords within 0.001.
        doc = ezdxf.readfile(files["dxf"])
        audit = doc.audit()
        check(not audit.errors and not audit.fixes, f"{name}: DXF audit {audit.errors}")
        check("SPIRAL" in [layer.dxf.name for layer in doc.layers], f"{name}: no SPIRAL layer")
        lines = [e for e in doc.modelspace() if e.dxftype() == "POLYLINE"]
        check(len(lines) == 2 and all(e.dxf.layer == "SPIRAL" for e in lines),
              f"{name}: {len(lines)} polylines")
        frames = [(at["ts"], direction(inbound), direction(inbound + side * 90)),
                  (at["st"], direction(outbound + 180), direction(outbound + side * 90))]
        for number, (polyline, (origin, along, square)) in enumerate(zip(lines, frames)):
            vertices = [(v.dxf.location.y, v.dxf.location.x) for v in polyline.vertices]
            if number == 1:
                vertices.reverse()  # the exit spiral is drawn CS to ST
            n = len(vertices) - 1
            ends = (at["ts"], at["sc"]) if number == 0 else (at["st"], at["cs"])
            check(vertices[0] == ends[0] and vertices[-1] == ends[1], f"{name}: polyline ends")
            worst = 0.0
            for i in range(n + 1):
                x, y = clothoid(s["ls"] * i / n, s["rc"], s["ls"])
                near(distance(vertices[i], frame_point(origin, along, square, x, y)), 0,
                     scale, f"{name}: vertex {i} of spiral {number + 1}")
                if i < n:
                    for t in (0.25, 0.5, 0.75):
                        x, y = clothoid(s["ls"] * (i + t) / n, s["rc"], s["ls"])
                        p = frame_point(origin, along, square, x, y)
                        worst = max(worst, off_segment(p, vertices[i], vertices[i + 1]))
            check(worst <= 0.001, f"{name}: a chord strays {worst} from the clothoid")

        # SVG: the named points are labelled.
        texts = {t.text for t in ET.parse(files["svg"]).getroot().iter(
            "{http://www.w3.org/2000/svg}text")}
        for label in ("TS", "SC", "CS", "ST", "PI"):
            check(label in texts, f"{name}: SVG has no {label}")

if failures:
    print("\n".join(failures[:40]))
    sys.exit(1)
print(f"{len(CURVES)} spiral curves: points, LandXML, DXF and SVG agree")
