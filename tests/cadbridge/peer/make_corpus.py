#!/usr/bin/python3
"""Writes small DXF drawings, one per case and DXF version, for comparing
cadbridge with ezdxf's drawing add-on (peer_compare.py):

  /usr/bin/python3 make_corpus.py FOLDER

Each case shows one thing writers do that a reader must follow: entities in
an object coordinate system (mirrored, or on a tilted plane), block contents
that take their insert's layer, colour and line type, insert arrays, odd
handles, coloured pattern hatches, bulge arcs, invisible face edges,
construction lines and meshes. A case is written in every version that has
its kinds (R12 lacks light polylines, ellipses, hatches, multi-line texts,
construction lines and meshes): FOLDER/CASE_VERSION.dxf.
"""

import math
import os
import re
import sys

import ezdxf

VERSIONS = ["R12", "R2000", "R2007", "R2013", "R2018"]
MIRROR = (0, 0, -1)
TILTED = (0.35, -0.25, 0.9)


def ocs_entities(msp, extrusion, modern):
    """Most kinds that live in an object coordinate system, side by side."""
    a = {"extrusion": extrusion, "color": 1}
    msp.add_circle((40, 10), 8, dxfattribs=a)
    msp.add_arc((60, 10), 8, 20, 160, dxfattribs=dict(a, color=2))
    msp.add_point((75, 10), dxfattribs=dict(a, color=3))
    msp.add_solid([(100, 5), (110, 5), (100, 15)], dxfattribs=dict(a, color=3))
    msp.add_trace([(115, 5), (125, 5), (115, 10), (125, 12)], dxfattribs=dict(a, color=5))
    msp.add_text("OCS", dxfattribs=dict(a, color=4, height=5, insert=(80, 10), rotation=20))
    pl = msp.add_polyline2d([(10, 30), (30, 30), (30, 40)], dxfattribs=dict(a, color=5))
    pl.dxf.elevation = (0, 0, 0)
    if "blk" not in msp.doc.blocks:
        blk = msp.doc.blocks.new("blk")
        blk.add_line((0, 0), (10, 0))
        blk.add_line((0, 0), (0, 5))
        blk.add_circle((10, 0), 2)
    msp.add_blockref("blk", (50, 35), dxfattribs=dict(a, color=6, rotation=30))
    if modern:
        msp.add_ellipse((70, 35), major_axis=(8, 2, 0), ratio=0.5, start_param=0.2, end_param=2.5,
                        dxfattribs=dict(a, color=1))
        msp.add_lwpolyline([(90, 30, 0, 0, 0.6), (100, 30), (100, 40)], format="xyseb",
                           dxfattribs=dict(a, color=2))
        h = msp.add_hatch(color=3, dxfattribs={"extrusion": extrusion})
        h.paths.add_polyline_path([(10, 50), (20, 50), (20, 58)], is_closed=True)
        h = msp.add_hatch(color=6, dxfattribs={"extrusion": extrusion})
        h.set_pattern_fill("ANSI31", scale=0.3)
        h.paths.add_polyline_path([(0, 62), (12, 62), (12, 70), (0, 70)], is_closed=True)
        msp.add_mtext("MTEXT\\Pline two", dxfattribs=dict(a, color=4, char_height=4, insert=(30, 55)))
        msp.add_leader([(50, 50), (60, 58), (70, 58)], dxfattribs={"color": 5, "normal_vector": extrusion})
    dim = msp.add_linear_dim(base=(90, 60), p1=(85, 52), p2=(110, 52),
                             dxfattribs={"color": 6, "extrusion": extrusion})
    dim.render()


def case_ocs_mirror(doc, modern):
    msp = doc.modelspace()
    msp.add_line((-120, -5), (120, -5), dxfattribs={"color": 7})
    ocs_entities(msp, MIRROR, modern)


def case_ocs_tilted(doc, modern):
    msp = doc.modelspace()
    msp.add_line((-20, -5), (120, -5), dxfattribs={"color": 7})
    ocs_entities(msp, TILTED, modern)


def case_block_inherit(doc, modern):
    doc.layers.new("RED", dxfattribs={"color": 1})
    doc.layers.new("GREEN", dxfattribs={"color": 3, "linetype": "DASHED"})
    doc.layers.new("HIDDEN", dxfattribs={"color": 5}).off()
    inner = doc.blocks.new("inner")
    inner.add_circle((0, 0), 3, dxfattribs={"layer": "0"})
    inner.add_line((-4, 0), (4, 0), dxfattribs={"layer": "0", "color": 0, "linetype": "BYBLOCK"})
    outer = doc.blocks.new("door")
    outer.add_line((0, 0), (20, 0), dxfattribs={"layer": "0"})
    outer.add_arc((0, 0), 20, 0, 90, dxfattribs={"layer": "0", "color": 0})
    outer.add_line((0, 0), (0, 20), dxfattribs={"layer": "0", "color": 4})
    outer.add_blockref("inner", (10, 10), dxfattribs={"layer": "0", "color": 0})
    msp = doc.modelspace()
    msp.add_blockref("door", (0, 0), dxfattribs={"layer": "RED"})
    msp.add_blockref("door", (30, 0), dxfattribs={"layer": "GREEN"})
    msp.add_blockref("door", (60, 0), dxfattribs={"layer": "RED", "color": 2, "linetype": "DASHED"})
    msp.add_blockref("door", (90, 0), dxfattribs={"layer": "HIDDEN", "color": 6})
    msp.add_line((0, -5), (110, -5), dxfattribs={"color": 7})


def case_minsert(doc, modern):
    blk = doc.blocks.new("cell")
    blk.add_circle((0, 0), 2, dxfattribs={"color": 3})
    blk.add_line((-2, -2), (2, 2), dxfattribs={"color": 1})
    msp = doc.modelspace()
    ins = msp.add_blockref("cell", (0, 0), dxfattribs={"rotation": 25})
    ins.grid(size=(3, 5), spacing=(8, 6))
    ins2 = msp.add_blockref("cell", (0, 40), dxfattribs={"xscale": 0.5, "yscale": 1.5})
    ins2.grid(size=(2, 4), spacing=(10, 10))


def case_handles(doc, modern):
    msp = doc.modelspace()
    for i in range(6):
        msp.add_line((0, i * 5), (40, i * 5 + 3), dxfattribs={"color": 1 + i})
        msp.add_circle((50 + i * 8, 10), 3, dxfattribs={"color": 1 + i})
    dim = msp.add_linear_dim(base=(20, 50), p1=(0, 40), p2=(40, 40), dimstyle="EZDXF")
    dim.render()


def odd_handles(path, version):
    """Empty and non-hexadecimal handles on some entities; in R12, the
    dimension style's group 5 names its arrow block."""
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        text = f.read()
    count = [0]

    def swap(m):
        count[0] += 1
        value = ["", "ZZ-1", "#12", "G"][count[0] % 4]
        return m.group(1) + "5\n" + value + "\n"

    text = re.sub(r"(\n  0\n(?:LINE|CIRCLE)\n)  5\n[0-9A-Fa-f]+\n", swap, text)
    if version == "R12":
        text = re.sub(r"(\n  0\nDIMSTYLE\n105\n[0-9A-Fa-f]+\n)", r"\g<1>  5\nOPEN\n", text)
    with open(path, "w", encoding="utf-8", errors="surrogateescape") as f:
        f.write(text)


def case_hatch_colour(doc, modern):
    doc.layers.new("BLUE", dxfattribs={"color": 5})
    msp = doc.modelspace()
    for i, (colour, attrs, pattern) in enumerate([(1, {}, "ANSI31"), (256, {"layer": "BLUE"}, "ANSI37"),
                                                  (3, {}, "BRICK"), (7, {"true_color": 0xFF8000}, "ANSI31")]):
        # The colour argument wins over the attributes' colour.
        h = msp.add_hatch(color=colour, dxfattribs=attrs)
        h.set_pattern_fill(pattern, scale=0.5)
        x = i * 30
        h.paths.add_polyline_path([(x, 0), (x + 25, 0), (x + 25, 25), (x, 25)], is_closed=True)


def case_bulge(doc, modern):
    msp = doc.modelspace()
    if modern:
        msp.add_lwpolyline([(0, 0, 0, 0, 1), (200, 0, 0, 0, 1)], format="xyseb", close=True,
                           dxfattribs={"color": 1})
    pl = msp.add_polyline2d([(0, 0), (180, 0)], close=True, dxfattribs={"color": 3})
    for v in pl.vertices:
        v.dxf.bulge = 1
    msp.add_circle((100, 0), 100, dxfattribs={"color": 2})


def case_face_edges(doc, modern):
    msp = doc.modelspace()
    for i, flags in enumerate([0, 1, 2, 4, 8, 5, 10, 15]):
        x = (i % 4) * 25
        y = (i // 4) * 25
        f = msp.add_3dface([(x, y, 0), (x + 20, y, 0), (x + 20, y + 20, 0), (x, y + 20, 0)],
                           dxfattribs={"color": 1 + i})
        f.dxf.invisible = flags


def case_xline(doc, modern):
    msp = doc.modelspace()
    msp.add_line((0, 0), (100, 60), dxfattribs={"color": 7})
    msp.add_circle((50, 30), 20, dxfattribs={"color": 7})
    msp.add_xline((50, 30), (1, 0.3, 0), dxfattribs={"color": 1})
    msp.add_xline((20, 10), (0, 1, 0), dxfattribs={"color": 3})
    msp.add_ray((50, 30), (-1, 1, 0), dxfattribs={"color": 5})


def case_meshes(doc, modern):
    msp = doc.modelspace()
    pf = msp.add_polyface(dxfattribs={"color": 1})
    pf.append_face([(0, 0, 0), (20, 0, 0), (20, 20, 5), (0, 20, 5)])
    pf.append_face([(20, 0, 0), (35, 10, 0), (20, 20, 5)])
    pm = msp.add_polymesh(size=(4, 3), dxfattribs={"color": 3})
    for m in range(4):
        for n in range(3):
            pm.set_mesh_vertex((m, n), (50 + m * 8, n * 8 + (m % 2) * 2, m * n))
    if modern:
        mesh = msp.add_mesh(dxfattribs={"color": 5})
        with mesh.edit_data() as d:
            d.vertices = [(90, 0, 0), (110, 0, 0), (110, 20, 0), (90, 20, 3), (100, 30, 6)]
            d.faces = [(0, 1, 2, 3), (3, 2, 4)]


CASES = {
    "ocs_mirror": case_ocs_mirror,
    "ocs_tilted": case_ocs_tilted,
    "block_inherit": case_block_inherit,
    "minsert": case_minsert,
    "handles": case_handles,
    "hatch_colour": case_hatch_colour,
    "bulge": case_bulge,
    "face_edges": case_face_edges,
    "xline": case_xline,
    "meshes": case_meshes,
}
MODERN_ONLY = {"hatch_colour", "xline"}


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for name, make in CASES.items():
        for version in VERSIONS:
            modern = version != "R12"
            if not modern and name in MODERN_ONLY:
                continue
            doc = ezdxf.new(version, setup=True)
            make(doc, modern)
            path = os.path.join(folder, f"{name}_{version}.dxf")
            doc.saveas(path)
            if name == "handles":
                odd_handles(path, version)
    return 0


if __name__ == "__main__":
    sys.exit(main())
