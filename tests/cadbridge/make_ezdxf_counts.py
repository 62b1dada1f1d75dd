#!/usr/bin/env python3
"""Writes the expected entity counts of a few real DXF files, as the
independent reader ezdxf (Debian python3-ezdxf) sees their model space.

    python3 tests/cadbridge/make_ezdxf_counts.py > tests/cadbridge/ezdxf_counts.txt

Run once; the table is kept as test data. Paths are relative to
/usr/share/librecad (Debian librecad-data).
"""
import sys
import ezdxf

ROOT = "/usr/share/librecad/"
FILES = sys.argv[1:] or [
    "library/sheets/A0H.dxf",
    "library/sheets/A2_1_draw.dxf",
    "library/plan/architect/Complete-Lib-V.dxf",
    "library/elektro/relay/tn_3ph.dxf",
    "library/elektro/power/pe20.dxf",
    "library/kinetics/kin116.dxf",
    "patterns/hound.dxf",
]


def counts(path):
    doc = ezdxf.readfile(ROOT + path)
    c = dict(lines=0, circles=0, arcs=0, polylines=0, texts=0, inserts=0)
    for e in doc.modelspace():
        t = e.dxftype()
        if t == "LINE":
            c["lines"] += 1
        elif t == "CIRCLE":
            c["circles"] += 1
        elif t == "ARC":
            c["arcs"] += 1
        elif t == "LWPOLYLINE":
            c["polylines"] += 1
        elif t == "POLYLINE" and not (e.is_poly_face_mesh or e.is_polygon_mesh):
            c["polylines"] += 1
        elif t == "TEXT":
            c["texts"] += 1
        elif t == "INSERT":
            c["inserts"] += 1
    return c


print("# file lines circles arcs polylines texts inserts (ezdxf %s, model space)" % ezdxf.__version__)
for f in FILES:
    c = counts(f)
    print(f, c["lines"], c["circles"], c["arcs"], c["polylines"], c["texts"], c["inserts"])
