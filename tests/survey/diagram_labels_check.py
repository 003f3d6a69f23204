#!/usr/bin/python3
"""The labels of the curve diagrams: whole, legible and apart, measured with the font.

usage: diagram_labels_check.py BENDWISE_CLI MAKE_BATCH

MAKE_BATCH (bench/make_batch.sh) gives 3,000 curves of every kind of entry pair, and 200
more with spirals; bendwise-cli draws each with --svg. Every <text> is measured with the
advance widths of the DejaVu font it names, read from the font files themselves (their
cmap and hmtx tables), not from the estimate the drawing was laid out with, and then:
  - every text lies on the 900 x 600 canvas and is at least 9 px high;
  - no two texts overlap, and none covers the north arrow;
  - no text on the drawing crosses the drawn curve (the arc, the spirals).
Skipped (77) where the DejaVu fonts are missing unless CI is set.
"""
import os
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

CLI, MAKE_BATCH = sys.argv[1], sys.argv[2]
FONTS = "/usr/share/fonts/truetype/dejavu/"
SVG = "{http://www.w3.org/2000/svg}"
NORTH_ARROW = (20, 60, 40, 112)  # left, top, right, bottom
CURVE_COLOURS = {"#1f5fbf", "#b8860b"}  # the arc and the spirals
KEY_LEFT = 640  # the key to the right of the drawing


def advance_widths(path):
    """Advance width of each character as a share of the em, from cmap format 4 and hmtx."""
    data = open(path, "rb").read()
    tables = {}
    for i in range(struct.unpack(">H", data[4:6])[0]):
        tag, _, offset, _ = struct.unpack(">4sIII", data[12 + 16 * i:28 + 16 * i])
        tables[tag.decode()] = offset
    em = struct.unpack(">H", data[tables["head"] + 18:tables["head"] + 20])[0]
    metrics = struct.unpack(">H", data[tables["hhea"] + 34:tables["hhea"] + 36])[0]
    hmtx = tables["hmtx"]
    cmap = tables["cmap"]
    glyph_of = {}
    for i in range(struct.unpack(">H", data[cmap + 2:cmap + 4])[0]):
        platform, encoding, offset = struct.unpack(">HHI", data[cmap + 4 + 8 * i:cmap + 12 + 8 * i])
        sub = cmap + offset
        if struct.unpack(">H", data[sub:sub + 2])[0] != 4 or platform != 3 or encoding != 1:
            continue
        segments = struct.unpack(">H", data[sub + 6:sub + 8])[0] // 2
        ends = struct.unpack(f">{segments}H", data[sub + 14:sub + 14 + 2 * segments])
        at = sub + 16 + 2 * segments
        starts = struct.unpack(f">{segments}H", data[at:at + 2 * segments])
        deltas = struct.unpack(f">{segments}h", data[at + 2 * segments:at + 4 * segments])
        range_at = at + 4 * segments
        ranges = struct.unpack(f">{segments}H", data[range_at:range_at + 2 * segments])
        for s in range(segments):
            for code in range(starts[s], min(ends[s], 0x3FF) + 1):
                if ranges[s] == 0:
                    glyph = (code + deltas[s]) & 0xFFFF
                else:
                    where = range_at + 2 * s + ranges[s] + 2 * (code - starts[s])
                    glyph = struct.unpack(">H", data[where:where + 2])[0]
                    glyph = (glyph + deltas[s]) & 0xFFFF if glyph else 0
                glyph_of[code] = glyph
    def width(glyph):
        g = min(glyph, metrics - 1)
        return struct.unpack(">H", data[hmtx + 4 * g:hmtx + 4 * g + 2])[0] / em
    return {chr(code): width(glyph) for code, glyph in glyph_of.items()}


try:
    FACES = {
        ("sans", False): advance_widths(FONTS + "DejaVuSans.ttf"),
        ("sans", True): advance_widths(FONTS + "DejaVuSans-Bold.ttf"),
        ("mono", False): advance_widths(FONTS + "DejaVuSansMono.ttf"),
    }
except OSError:
    if os.environ.get("CI"):
        sys.exit("the DejaVu fonts are missing: install fonts-dejavu-core")
    sys.exit(77)


def text_box(t):
    size = float(t.get("font-size"))
    face = ("mono" if "Mono" in t.get("font-family") else "sans",
            t.get("font-weight") == "bold")
    content = t.text or ""
    width = size * sum(FACES[face].get(c, 0.62) for c in content)
    x, y = float(t.get("x")), float(t.get("y"))
    anchor = t.get("text-anchor")
    left = x if anchor == "start" else x - width if anchor == "end" else x - width / 2
    # DejaVu's ascent and descent: 0.76 and 0.24 of the size.
    return content, size, (left, y - 0.76 * size, left + width, y + 0.24 * size)


def overlap(a, b, slack=0.5):
    return (a[0] < b[2] - slack and b[0] < a[2] - slack and a[1] < b[3] - slack and
            b[1] < a[3] - slack)


def crosses(box, p, q):
    """Liang-Barsky: does segment p-q enter the box (shrunk by half a pixel)?"""
    left, top, right, bottom = box[0] + 0.5, box[1] + 0.5, box[2] - 0.5, box[3] - 0.5
    dx, dy = q[0] - p[0], q[1] - p[1]
    t0, t1 = 0.0, 1.0
    for pk, qk in ((-dx, p[0] - left), (dx, right - p[0]), (-dy, p[1] - top), (dy, bottom - p[1])):
        if pk == 0:
            if qk < 0:
                return False
        else:
            r = qk / pk
            if pk < 0:
                t0 = max(t0, r)
            else:
                t1 = min(t1, r)
            if t0 > t1:
                return False
    return True


failures = []
counts = {"drawings": 0, "texts": 0}
with tempfile.TemporaryDirectory() as folder:
    batch = subprocess.run([MAKE_BATCH, "3000"], capture_output=True, text=True,
                           check=True).stdout.splitlines()
    runs = [("curve", batch, [])]
    # Spirals of a tenth to a third of the arc on every fifteenth curve.
    spirals = [line for line in batch[::15]]
    runs.append(("spiral", spirals, ["--spiral", "20"]))
    for kind, lines, extra in runs:
        source = os.path.join(folder, kind + ".txt")
        with open(source, "w") as f:
            f.write("\n".join(lines) + "\n")
        subprocess.run([CLI, "--batch", source, "--svg", os.path.join(folder, kind + ".svg"),
                        *extra], capture_output=True)
        for number in range(1, len(lines) + 1):
            path = os.path.join(folder, f"{kind}-{number}.svg")
            if not os.path.exists(path):
                continue  # a line the engine refused, or spirals too long for the curve
            counts["drawings"] += 1
            root = ET.parse(path).getroot()
            boxes = [text_box(t) for t in root.iter(SVG + "text")]
            counts["texts"] += len(boxes)
            curve = [[tuple(map(float, point.split(","))) for point in p.get("points").split()]
                     for p in root.iter(SVG + "polyline") if p.get("stroke") in CURVE_COLOURS]
            where = f"{kind} line {number} ({lines[number - 1]})"
            for content, size, box in boxes:
                if box[0] < 0 or box[2] > 900 or box[1] < 0 or box[3] > 600:
                    failures.append(f"{where}: '{content}' leaves the canvas: {box}")
                if size < 9:
                    failures.append(f"{where}: '{content}' is {size} px high")
                if content != "N" and overlap(box, NORTH_ARROW):
                    failures.append(f"{where}: '{content}' covers the north arrow")
                if box[2] <= KEY_LEFT and any(crosses(box, a, b) for line in curve
                                              for a, b in zip(line, line[1:])):
                    failures.append(f"{where}: '{content}' crosses the curve")
            for i in range(len(boxes)):
                for j in range(i + 1, len(boxes)):
                    if overlap(boxes[i][2], boxes[j][2]):
                        failures.append(f"{where}: '{boxes[i][0]}' and '{boxes[j][0]}' overlap")

if counts["drawings"] < 3000:
    failures.append(f"only {counts['drawings']} drawings")
if failures:
    print("\n".join(failures[:30]))
    print(f"{len(failures)} faults in {counts['drawings']} drawings")
    sys.exit(1)
print(f"{counts['drawings']} drawings, {counts['texts']} texts: whole, apart, off the curve")
