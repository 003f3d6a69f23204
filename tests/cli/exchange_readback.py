#!/usr/bin/python3
"""Reads back the points, LandXML and DXF files of bendwise-cli with readers of their own.

usage: exchange_readback.py BENDWISE_CLI

For eight curve shapes (right and left, tiny and huge radius, Delta near 0, 179.99, 180
and 300) the program writes all three files from a known PC. Then:
  - ezdxf reads the DXF and its audit finds nothing; the ARC's centre, radius and angles
    are those the curve's own values give, its ends fall on the PC and PT points, and
    every POINT is where the points file says;
  - xmllint finds the LandXML well formed, and Python's XML reader finds the Curve and
    every CgPoint where the points file says;
  - for the worked curve (radius 1000, Delta 30, inbound azimuth 45, PC at N 5000
    E 2000) every format gives PI, PT, RP and MPC to four decimals.
Runs under Debian's /usr/bin/python3, which has python3-ezdxf.
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
except ImportError:
    sys.exit("python3-ezdxf is missing: run scripts/install-deps.sh")

CLI = sys.argv[1]
NS = {"x": "http://www.landxml.org/schema/LandXML-1.2"}
PC = (5000.0, 2000.0)

# name, entries (decimal degrees), stakeout interval
SHAPES = [
    ("right", ["radius=1000", "delta=30", "inbound-az=45"], "100"),
    ("left", ["left=on", "radius=300", "delta=75", "inbound-az=200"], "25"),
    ("tiny radius", ["delta=40", "radius=0.05", "inbound-az=10"], "0.01"),
    ("huge radius", ["radius=1e12", "delta=0.000001", "inbound-az=300"], "2500"),
    ("delta near 0", ["radius=1000", "delta=0.0001", "inbound-az=90"], "0.5"),
    ("delta 179.99", ["left=on", "radius=100", "delta=179.99"], "50"),
    ("delta 180", ["radius=100", "delta=180", "inbound-az=135"], "50"),
    ("delta 300", ["left=on", "radius=100", "delta=300", "inbound-az=20"], "50"),
]
WORKED = {"PI": ("5189.4687", "2189.4687"), "PT": ("5258.8190", "2448.2877"),
          "RP": ("4292.8932", "2707.1068"), "MPC": ("5158.9186", "2207.1068")}

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def close(a, b, scale):
    # 1e-14 of the curve's size: ten times the rounding of a point rebuilt from a centre
    # one radius away, far below any slip in a formula.
    return abs(a - b) <= 1e-14 * scale + 1e-9


def angle_diff(a, b):
    return abs((a - b + 180) % 360 - 180)


def run_shape(folder, name, entries, interval):
    base = os.path.join(folder, name.replace(" ", "-"))
    args = [CLI, "packed=off", *entries, "--pc", "%r,%r" % PC, "--pi-station", "100+00",
            "--stakeout", interval, "--json", "--points", base + ".txt",
            "--landxml", base + ".xml", "--dxf", base + ".dxf"]
    result = subprocess.run(args, capture_output=True, text=True)
    check(result.returncode == 0, "%s: exit %d %s" % (name, result.returncode, result.stderr))
    if result.returncode != 0:
        return
    values = json.loads(result.stdout)["values"]
    r, delta, az, left = values["radius"], values["delta"], values["inbound-az"], values["left"]
    side = -1 if left else 1
    scale = max(r, abs(PC[0]), abs(PC[1]))
    has_pi = delta < 180

    # The points file, and the same points at full precision from the LandXML.
    with open(base + ".txt", newline="") as f:
        rows = list(csv.reader(f))
    check(all(len(row) == 5 and row[3] == "" for row in rows), name + ": PNEZD columns")
    descriptions = [row[4] for row in rows]
    check(("PI" in descriptions) == has_pi, name + ": PI present exactly below 180 degrees")
    lint = subprocess.run(["xmllint", "--noout", base + ".xml"], capture_output=True, text=True)
    check(lint.returncode == 0, "%s: xmllint %s" % (name, lint.stderr))
    root = ET.parse(base + ".xml").getroot()
    check(root.get("version") == "1.2", name + ": LandXML version")
    cg_points = root.findall("x:CgPoints/x:CgPoint", NS)
    check([(cg.get("name"), cg.get("desc")) for cg in cg_points] ==
          [(row[0], row[4]) for row in rows], name + ": CgPoint names and descriptions")
    exact = [tuple(float(v) for v in cg.text.split()) for cg in cg_points]
    check([["%.4f" % v for v in point] for point in exact] == [row[1:3] for row in rows],
          name + ": the points file rounds the LandXML points")
    points = {desc: exact[i] for i, desc in enumerate(descriptions)
              if desc in ("PC", "PI", "PT", "RP", "MPC")}

    # DXF: audit, the arc from the curve's own values, the points where the file says.
    doc = ezdxf.readfile(base + ".dxf")
    auditor = doc.audit()
    check(not auditor.errors and not auditor.fixes,
          "%s: audit %s %s" % (name, auditor.errors, auditor.fixes))
    msp = doc.modelspace()
    arcs = msp.query("ARC")
    check(len(arcs) == 1, name + ": one ARC")
    if arcs:
        arc = arcs[0]
        k = 180 / math.pi
        centre_n = PC[0] + r * math.cos((az + side * 90) / k)
        centre_e = PC[1] + r * math.sin((az + side * 90) / k)
        check(close(arc.dxf.center.x, centre_e, scale) and close(arc.dxf.center.y, centre_n, scale),
              "%s: arc centre %s" % (name, arc.dxf.center))
        check(arc.dxf.radius == r, name + ": arc radius")
        to_pc = 90 - (az - side * 90)
        start, end = (to_pc, to_pc + delta) if left else (to_pc - delta, to_pc)
        check(angle_diff(arc.dxf.start_angle, start) < 1e-9 and
              angle_diff(arc.dxf.end_angle, end) < 1e-9,
              "%s: arc angles %s %s" % (name, arc.dxf.start_angle, arc.dxf.end_angle))
        first, last = (arc.start_point, arc.end_point) if left else (arc.end_point,
                                                                     arc.start_point)
        for label, point in (("PC", first), ("PT", last)):
            check(close(point.y, points[label][0], scale) and
                  close(point.x, points[label][1], scale),
                  "%s: arc end at %s %s" % (name, label, point))
    dxf_points = sorted((p.dxf.location.y, p.dxf.location.x) for p in msp.query("POINT"))
    check(dxf_points == sorted(exact), name + ": DXF points")
    labels = sorted(t.dxf.text for t in msp.query("TEXT"))
    check(labels == sorted(descriptions), name + ": DXF labels")

    curve = root.find("x:Alignments/x:Alignment/x:CoordGeom/x:Curve", NS)
    check(curve.get("rot") == ("ccw" if left else "cw") and float(curve.get("radius")) == r
          and float(curve.get("delta")) == delta, name + ": Curve attributes")
    for element, label in (("Start", "PC"), ("Center", "RP"), ("End", "PT"), ("PI", "PI")):
        found = curve.find("x:" + element, NS)
        check((found is not None) == (label in points) and
              (found is None or tuple(float(v) for v in found.text.split()) == points[label]),
              "%s: Curve %s" % (name, element))

    if name == "right":
        for label, want in WORKED.items():
            row = rows[descriptions.index(label)]
            check(tuple(row[1:3]) == want, "worked check through the points file at " + label)
            check(tuple("%.4f" % v for v in points[label]) == want,
                  "worked check through LandXML at " + label)
            check(any(("%.4f" % p.dxf.location.y, "%.4f" % p.dxf.location.x) == want
                      for p in msp.query("POINT")), "worked check through DXF at " + label)


with tempfile.TemporaryDirectory() as folder:
    for shape in SHAPES:
        run_shape(folder, *shape)

for failure in failures:
    print("FAIL", failure)
print("%d shapes read back, %d failures" % (len(SHAPES), len(failures)))
sys.exit(1 if failures else 0)
