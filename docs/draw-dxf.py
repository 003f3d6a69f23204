#!/usr/bin/python3
"""Draws a DXF file into a PNG with ezdxf's drawing add-on, as the README's picture was made.

usage: /usr/bin/python3 docs/draw-dxf.py CURVE.dxf PICTURE.png
Needs Debian's python3-ezdxf and python3-matplotlib.
"""
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import ezdxf  # noqa: E402
from ezdxf.addons.drawing import Frontend, RenderContext  # noqa: E402
from ezdxf.addons.drawing.config import Configuration  # noqa: E402
from ezdxf.addons.drawing.matplotlib import MatplotlibBackend  # noqa: E402

doc = ezdxf.readfile(sys.argv[1])
msp = doc.modelspace()
figure = plt.figure(figsize=(8, 6))
axes = figure.add_axes([0, 0, 1, 1])
context = RenderContext(doc)
context.set_current_layout(msp)
context.current_layout_properties.set_colors("#FFFFFF")  # paper white, not the CAD black
# Points as the file's $PDMODE and $PDSIZE say.
config = Configuration.defaults().with_changes(pdsize=None, pdmode=None)
Frontend(context, MatplotlibBackend(axes), config=config).draw_layout(
    msp, finalize=True, layout_properties=context.current_layout_properties)
figure.savefig(sys.argv[2], dpi=100, facecolor="white")
