#!/usr/bin/python3
"""Reads back the points, LandXML and DXF files of bendwise-cli with readers of their own.

usage: exchange_readback.py BENDWISE_CLI LANDXML_SCHEMA

For fourteen curve shapes (right and left, tiny and huge radius, Delta near 0, 179.99,
180, 200 and 300; arc and chord stationing, from the PI's or the PC's station or none;
foot, metre and US survey foot; stakes with offsets and a setup) the program writes all
three files from a known PC. Then:
  - ezdxf reads the DXF and its audit finds nothing; the ARC's centre, radius and angles
    are those the curve's own values give, its ends fall on the PC and PT points, and
    every POINT is where the points file says;
  - xmllint validates the LandXML against LANDXML_SCHEMA (tests/cli/data/
    LandXML-1.2-subset.xsd), and Python's XML reader finds the Curve and every CgPoint
    where the points file says, the Units asked for, a CoordGeom whose elements join
    end to start and station to station, and a StaEquation exactly with chord
    stationing;
  - for the worked curve (radius 1000, Delta 30, inbound azimuth 45, PC at N 5000
    E 2000) every format gives PI, PT, RP and MPC to four decimals.
A spiralled curve's LandXML is validated too and, once it holds Spiral elements, they
must run TS-SC and CS-ST around the Curve. Documents broken on purpose must fail the
schema, so that it is known to bite.
Runs under Debian's /usr/bin/python3, which has python3-ezdxf.
"""
import csv
import json
import math
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

try:
    import ezdxf
except ImportError:
    sys.exit("python3-ezdxf is missing: run scripts/install-deps.sh")

CLI, SCHEMA = sys.argv[1], sys.argv[2]
NS = {"x": "http://www.landxml.org/schema/LandXML-1.2"}
PC = (5000.0, 2000.0)


def staked(interval):
    return ["--pi-station", "100+00", "--stakeout", interval]


# name, entries (decimal degrees), options after --pc
SHAPES = [
    ("right", ["radius=1000", "delta=30", "inbound-az=45"], staked("100")),
    ("left", ["left=on", "radius=300", "delta=75", "inbound-az=200"], staked("25")),
    ("tiny radius", ["delta=40", "radius=0.05", "inbound-az=10"], staked("0.01")),
    ("huge radius", ["radius=1e12", "delta=0.000001", "inbound-az=300"], staked("2500")),
    ("delta near 0", ["radius=1000", "delta=0.0001", "inbound-az=90"], staked("0.5")),
    ("delta 179.99", ["left=on", "radius=100", "delta=179.99"], staked("50")),
    ("delta 180", ["radius=100", "delta=180", "inbound-az=135"], staked("50")),
    ("delta 300", ["left=on", "radius=100", "delta=300", "inbound-az=20"], staked("50")),
    ("chord stationing", ["radius=1000", "delta=30", "inbound-az=45"],
     ["--pi-station", "100+00", "--stationing", "chord", "--stakeout", "100"]),
    ("delta 300 from a PC station", ["left=on", "radius=100", "delta=300", "inbound-az=20"],
     ["--pc-station", "10+00", "--stakeout", "50"]),
    ("delta 200 unstationed", ["radius=100", "delta=200"], []),
    ("metre", ["left=on", "radius=300", "delta=75", "inbound-az=200"],
     ["--unit", "m", *staked("25")]),
    ("US survey foot", ["radius=1000", "delta=30", "inbound-az=45"],
     ["--unit", "usft", *staked("100")]),
    ("stakes, offsets, setup", ["radius=300", "delta=75"],
     ["--pi-station", "10+00", "--stakeout", "25", "--offsets", "-5,5",
      "--setup", "5100,2100", "--backsight", "5000,2000"]),
]
# --unit word: the Units child and its linearUnit
UNITS = {None: ("Imperial", "foot"), "m": ("Metric", "meter"),
         "usft": ("Imperial", "USSurveyFoot")}

# Broken on purpose, each in one way the schema must refuse: what, pattern in the
# "right" file, its replacement (the first match only), a word xmllint's refusal names
BROKEN = [
    ("Curve without rot", r' rot="cw"', "", "'rot'"),
    ("rotation outside clockwise", r'rot="cw"', 'rot="right"', "'right'"),
    ("linear unit outside impLinear", r'linearUnit="foot"', 'linearUnit="yard"', "'yard'"),
    ("four coordinates in a point", r"<Center>", "<Center>1 2 ", "maxLength"),
    ("Alignment without staStart", r'(<Alignment [^>]*?) staStart="[^"]*"', r"\1",
     "'staStart'"),
    ("Line with End before Start", r"(<Start>[^<]*</Start>)(\s*)(<End>[^<]*</End>)",
     r"\3\2\1", "}End'"),
    ("StaEquation without staAhead", r"</CoordGeom>",
     '</CoordGeom><StaEquation staInternal="0"/>', "'staAhead'"),
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


def valid(path):
    """xmllint's verdict on path against the LandXML 1.2 schema: (valid, its message)."""
    lint = subprocess.run(["xmllint", "--noout", "--schema", SCHEMA, path],
                          capture_output=True, text=True)
    return lint.returncode == 0, lint.stderr.strip()


def numbers(element):
    return tuple(float(v) for v in element.text.split())


def kind(element):
    return element.tag.split("}")[1]


def check_chain(name, alignment):
    """Each CoordGeom element starts where and at the station the one before ends."""
    parts = list(alignment.find("x:CoordGeom", NS))
    check(parts and float(parts[0].get("staStart")) == float(alignment.get("staStart")),
          name + ": the first element starts the alignment")
    total = sum(float(part.get("length")) for part in parts)
    check(close(total, float(alignment.get("length")), total), name + ": alignment length")
    for before, after in zip(parts, parts[1:]):
        end, start = numbers(before.find("x:End", NS)), numbers(after.find("x:Start", NS))
        scale = max(abs(v) for v in end + start)
        check(all(close(a, b, scale) for a, b in zip(end, start)),
              "%s: %s ends at %s, %s starts at %s" % (name, kind(before), end, kind(after),
                                                     start))
        reach = float(before.get("staStart")) + float(before.get("length"))
        check(close(reach, float(after.get("staStart")), abs(reach)),
              "%s: %s station after %s" % (name, kind(after), kind(before)))


def run_shape(folder, name, entries, options):
    base = os.path.join(folder, name.replace(" ", "-").replace(",", ""))
    args = [CLI, "packed=off", *entries, "--pc", "%r,%r" % PC, *options,
            "--json", "--points", base + ".txt",
            "--landxml", base + ".xml", "--dxf", base + ".dxf"]
    result = subprocess.run(args, capture_output=True, text=True)
    check(result.returncode == 0, "%s: exit %d %s" % (name, result.returncode, result.stderr))
    if result.returncode != 0:
        return
    output = json.loads(result.stdout)
    values = output["values"]
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
    ok, message = valid(base + ".xml")
    check(ok, "%s: xmllint %s" % (name, message))
    root = ET.parse(base + ".xml").getroot()
    check(root.get("version") == "1.2", name + ": LandXML version")
    unit = options[options.index("--unit") + 1] if "--unit" in options else None
    element, linear = UNITS[unit]
    units = root.find("x:Units/x:" + element, NS)
    check(units is not None and units.get("linearUnit") == linear, name + ": Units")
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
              (found is None or numbers(found) == points[label]),
              "%s: Curve %s" % (name, element))

    # Stations: the Curve's staStart is the PC's station (unstationed, the PC sits a
    # tangent from 0); chord stationing adds the equation from the arc's PT station to
    # the railroad one, and only chord stationing does.
    alignment = root.find("x:Alignments/x:Alignment", NS)
    check_chain(name, alignment)
    stations = output.get("stations") or {}
    pc_station = (stations["pc"] if stations.get("defined")
                  else values["tangent"] if has_pi else 0.0)
    check(float(curve.get("staStart")) == pc_station, name + ": Curve staStart")
    equations = alignment.findall("x:StaEquation", NS)
    chord = stations.get("defined") and stations.get("stationing") == "chord"
    check(len(equations) == (1 if chord else 0), name + ": StaEquation exactly with chord")
    if chord and equations:
        internal = float(curve.get("staStart")) + float(curve.get("length"))
        check(float(equations[0].get("staInternal")) == internal and
              float(equations[0].get("staAhead")) == stations["pt"],
              name + ": StaEquation from the arc's PT station to the chord one")

    if name == "right":
        for label, want in WORKED.items():
            row = rows[descriptions.index(label)]
            check(tuple(row[1:3]) == want, "worked check through the points file at " + label)
            check(tuple("%.4f" % v for v in points[label]) == want,
                  "worked check through LandXML at " + label)
            check(any(("%.4f" % p.dxf.location.y, "%.4f" % p.dxf.location.x) == want
                      for p in msp.query("POINT")), "worked check through DXF at " + label)


def run_spiral(folder):
    """A spiralled curve: valid LandXML, and once written, Spirals TS-SC and CS-ST."""
    base = os.path.join(folder, "spiral")
    args = [CLI, "packed=off", "radius=1000", "delta=30", "inbound-az=45", "--spiral", "100",
            "--pi", "5000,2000", "--pi-station", "25+00", "--stakeout", "50", "--json",
            "--points", base + ".txt", "--landxml", base + ".xml"]
    result = subprocess.run(args, capture_output=True, text=True)
    check(result.returncode == 0, "spiral: exit %d %s" % (result.returncode, result.stderr))
    if result.returncode != 0:
        return
    ok, message = valid(base + ".xml")
    check(ok, "spiral: xmllint " + message)
    root = ET.parse(base + ".xml").getroot()
    with open(base + ".txt", newline="") as f:
        rows = list(csv.reader(f))
    check([(cg.get("name"), cg.get("desc")) for cg in root.findall("x:CgPoints/x:CgPoint", NS)]
          == [(row[0], row[4]) for row in rows], "spiral: CgPoint names and descriptions")
    alignment = root.find("x:Alignments/x:Alignment", NS)
    spirals = alignment.findall("x:CoordGeom/x:Spiral", NS)
    if not spirals:
        print("note: the spiral's LandXML holds no Spiral element yet; only validated")
        return
    check_chain("spiral", alignment)
    spiral = json.loads(result.stdout)["spiral"]
    at = {key: (p["northing"], p["easting"]) for key, p in spiral["coordinates"].items()
          if isinstance(p, dict)}
    kinds = [kind(part) for part in alignment.find("x:CoordGeom", NS)]
    check(kinds == ["Line", "Spiral", "Curve", "Spiral", "Line"], "spiral: elements %s" % kinds)
    inf = float("inf")
    for element, (first, last), radii in ((spirals[0], ("ts", "sc"), (inf, spiral["rc"])),
                                          (spirals[-1], ("cs", "st"), (spiral["rc"], inf))):
        label = "spiral %s-%s" % (first.upper(), last.upper())
        check(float(element.get("length")) == spiral["ls"] and element.get("rot") == "cw" and
              (float(element.get("radiusStart")), float(element.get("radiusEnd"))) == radii,
              label + ": length, rot, radii")
        check(close(float(element.get("staStart")), spiral["stations"][first], 1e4),
              label + ": staStart")
        for child, key in (("Start", first), ("End", last)):
            found = numbers(element.find("x:" + child, NS))
            check(all(close(a, b, 1e4) for a, b in zip(found, at[key])),
                  "%s: %s %s" % (label, child, found))


def run_broken(folder):
    """The schema bites: each broken copy of a valid file fails it."""
    if not os.path.exists(os.path.join(folder, "right.xml")):
        return  # its run failed, and said so
    with open(os.path.join(folder, "right.xml")) as f:
        good = f.read()
    for what, pattern, replacement, named in BROKEN:
        broken = re.sub(pattern, replacement, good, count=1)
        check(broken != good, "broken %s: the change applies" % what)
        path = os.path.join(folder, "broken.xml")
        with open(path, "w") as f:
            f.write(broken)
        ok, message = valid(path)
        check(not ok and named in message, "broken %s: %s" % (what, message or "valid"))


with tempfile.TemporaryDirectory() as folder:
    for shape in SHAPES:
        run_shape(folder, *shape)
    run_spiral(folder)
    run_broken(folder)

for failure in failures:
    print("FAIL", failure)
print("%d shapes and a spiral read back, %d broken documents tried, %d failures"
      % (len(SHAPES), len(BROKEN), len(failures)))
sys.exit(1 if failures else 0)
