#!/usr/bin/python3
"""Writes small DXF drawings, one per case and DXF version, for comparing
cadbridge with ezdxf's drawing add-on (peer_compare.py):

  /usr/bin/python3 make_corpus.py FOLDER

Each case shows one thing writers do that a reader must follow: entities in
an object coordinate system (mirrored, or on a tilted plane), block contents
that take their insert's layer, colour and line type, insert arrays, odd
handles, coloured pattern hatches, bulge arcs, invisible face edges,
construction lines, meshes, multi-line texts (their embedded object, inline
codes, background fills and columns), images, wipeouts and tables; three
sheets (a floor plan, a mechanical part, a schematic) mix them as drawings
do. A case is written in every version that has its kinds (R12 lacks light
polylines, ellipses, hatches, multi-line texts, construction lines, meshes,
images and wipeouts; tables and text columns came with R2007, the embedded
object of a multi-line text with R2018): FOLDER/CASE_VERSION.dxf. The
picture the images show is written beside them (PICTURE).
"""

import math
import os
import re
import sys

import ezdxf
from ezdxf.entities.acad_table import AcadTableBlockContent
from ezdxf.lldxf.const import DXF2007
from ezdxf.lldxf.extendedtags import ExtendedTags
from ezdxf.lldxf.types import DXFTag
from ezdxf.render.arrows import ARROWS
from ezdxf.tools.standards import setup_dimstyle

VERSIONS = ["R12", "R2000", "R2007", "R2013", "R2018"]
MIRROR = (0, 0, -1)
TILTED = (0.35, -0.25, 0.9)
PICTURE = "corpus_picture.png"
PICTURE_SIZE = (64, 48)  # pixels


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
        h.set_pattern_fill("ANSI31", color=6, scale=0.3)
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
        # Both colour arguments win over the attributes' colour; the pattern
        # fill's is 7 unless given.
        h = msp.add_hatch(color=colour, dxfattribs=attrs)
        h.set_pattern_fill(pattern, color=colour, scale=0.5)
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


def case_mtext_embedded(doc, modern):
    msp = doc.modelspace()
    msp.add_line((-60, 0), (120, 0), dxfattribs={"color": 7})
    msp.add_line((0, -60), (0, 100), dxfattribs={"color": 7})
    # Rotation 0 everywhere: the embedded object repeats the insertion point
    # in group 11 and the direction in group 10, so a reader that takes them
    # for the text's own groups turns or moves the text.
    for i, (x, y, attach) in enumerate([(10, 60, 1), (70, 20, 7), (-50, 40, 5), (40, -40, 3), (-40, -20, 9)]):
        msp.add_mtext(f"Text {i + 1}\\Pat {x}, {y}", dxfattribs={
            "color": 1 + i, "char_height": 4, "width": 40, "insert": (x, y), "attachment_point": attach})
    # Turned by its direction vector, not by an angle.
    msp.add_mtext("Along (1, 1)", dxfattribs={"color": 6, "char_height": 4, "insert": (60, 70),
                                                "text_direction": (1, 1, 0)})
    msp.add_mtext_static_columns(["Static one\\Pline two", "Static two\\Pline two"], width=25, gutter_width=5,
                                 height=12, dxfattribs={"color": 3, "char_height": 3, "insert": (-55, 90)})
    msp.add_mtext_dynamic_auto_height_columns(
        "Dynamic columns flow this text into as many columns as the height asks for, "
        "one after the other.", width=22, gutter_width=4, height=10, count=3,
        dxfattribs={"color": 5, "char_height": 2.5, "insert": (20, 100)})


def embedded_objects(path, version):
    """Gives every MTEXT without one the embedded object R2018 writers put
    after the groups of a text without columns: one dynamic column as wide as
    the text, its gutter five characters (ezdxf writes the object only for
    texts with columns)."""
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        lines = f.read().split("\n")
    out = []
    i = 0
    while i < len(lines):
        if lines[i].strip() == "0" and i + 1 < len(lines) and lines[i + 1] == "MTEXT":
            j = i + 2
            while j + 1 < len(lines) and lines[j].strip() != "0":
                j += 2
            out += with_embedded_object(lines[i:j])
            i = j
        else:
            out.append(lines[i])
            i += 1
    with open(path, "w", encoding="utf-8", errors="surrogateescape") as f:
        f.write("\n".join(out))


def with_embedded_object(record):
    pairs = [(record[k].strip(), record[k + 1]) for k in range(2, len(record) - 1, 2)]
    if ("101", "Embedded Object") in pairs:
        return record
    first = {}
    for code, value in pairs:
        if code == "1001":
            break
        first.setdefault(code, value)
    x, y, z = (float(first.get(c, 0)) for c in ("10", "20", "30"))
    dx, dy, dz = (float(first.get(c, d)) for c, d in (("11", 1), ("21", 0), ("31", 0)))
    height, width = float(first.get("40", 2.5)), float(first.get("41", 0))
    text = "".join(v for c, v in pairs if c in ("1", "3"))
    lines = text.split("\\P")
    extent = max(len(line) for line in lines) * height * 0.8
    embedded = [("101", "Embedded Object"), ("70", "1"), ("10", dx), ("20", dy), ("30", dz), ("11", x), ("21", y),
                ("31", z), ("40", width), ("41", 0.0), ("42", min(extent, width) if width else extent),
                ("43", len(lines) * height * 5.0 / 3.0), ("71", "2"), ("72", "1"), ("44", width),
                ("45", 5.0 * height), ("73", "0"), ("74", "0"), ("46", 0.0)]
    groups = "\n".join(f"{int(c):>3}\n{v}" for c, v in embedded).split("\n")
    # Before the extended data, if any: the embedded object closes the
    # entity's own groups.
    at = next((k for k in range(2, len(record), 2) if record[k].strip() == "1001"), len(record))
    return record[:at] + groups + record[at:]


def case_mtext_codes(doc, modern):
    msp = doc.modelspace()
    a = {"char_height": 4}
    msp.add_mtext("Stacks \\S1/2; \\S1^2; \\S1#2; end", dxfattribs=dict(a, color=1, insert=(0, 100)))
    msp.add_mtext("\\Lunder\\l plain \\Oover\\o \\L\\Oboth\\o\\l", dxfattribs=dict(a, color=2, insert=(0, 90)))
    # The number of a colour code ends where its digits end when the writer
    # left out its ';'.
    msp.add_mtext("\\C1Red then \\C3;green, \\C5blue", dxfattribs=dict(a, color=7, insert=(0, 80)))
    for i in range(5):
        msp.add_line((60 + i * 6, 55), (66 + i * 6, 75), dxfattribs={"color": 4})
    m = msp.add_mtext("Filled\\Pbackground", dxfattribs=dict(a, color=1, insert=(0, 72), width=40))
    m.set_bg_color(2, scale=1.5)
    m = msp.add_mtext("Canvas\\Pfill", dxfattribs=dict(a, color=3, insert=(62, 72), width=25))
    m.set_bg_color("canvas", scale=1.2)
    m = msp.add_mtext("True colour fill", dxfattribs=dict(a, color=7, insert=(0, 55)))
    m.set_bg_color((40, 80, 200), scale=1.5, text_frame=True)
    if doc.dxfversion >= DXF2007:
        msp.add_mtext_static_columns(["Column one\\Pline two\\Pline three", "Column two\\Pline two", "Three"],
                                     width=28, gutter_width=4, height=20,
                                     dxfattribs={"color": 5, "char_height": 3, "insert": (0, 40)})
        msp.add_mtext_dynamic_auto_height_columns(
            "Dynamic columns with an automatic height: the writer leaves the flow of the words into "
            "columns to the reader, which fills each column to the height and goes on in the next.",
            width=30, gutter_width=5, height=12, count=3,
            dxfattribs={"color": 6, "char_height": 2.5, "insert": (0, 12)})


def write_picture(folder):
    """A small picture of distinct colours, so that a turned, mirrored or
    clipped placement shows."""
    from PIL import Image, ImageDraw

    img = Image.new("RGB", PICTURE_SIZE, (30, 60, 200))
    d = ImageDraw.Draw(img)
    d.rectangle((0, 0, 31, 23), fill=(220, 40, 40))
    d.ellipse((30, 14, 60, 44), fill=(40, 200, 60))
    d.line((0, 47, 63, 0), fill=(255, 230, 0), width=3)
    img.save(os.path.join(folder, PICTURE))


def case_image(doc, modern):
    msp = doc.modelspace()
    doc.set_raster_variables(frame=1, quality=1, units="mm")
    pic = doc.add_image_def(PICTURE, PICTURE_SIZE, name="corpus_picture")
    msp.add_line((-10, -10), (150, -10), dxfattribs={"color": 7})
    # A turned frame.
    msp.add_image(pic, (10, 0), (32, 24), rotation=30)
    # A rectangular clip, in pixels from the picture's upper left corner.
    img = msp.add_image(pic, (50, 0), (32, 24))
    img.set_boundary_path([(8.5, 6.5), (47.5, 35.5)])
    # A polygon clip on a turned frame.
    img = msp.add_image(pic, (95, 5), (40, 30), rotation=-15)
    img.set_boundary_path([(-0.5, 47.5), (31.5, -0.5), (63.5, 47.5), (31.5, 30.5)])
    for x in (10, 50, 95):
        msp.add_circle((x, 0), 1.5, dxfattribs={"color": 1})


def case_wipeout(doc, modern):
    msp = doc.modelspace()
    for i in range(9):
        msp.add_line((0, i * 5), (90, i * 5 + 12), dxfattribs={"color": 1 + i % 6})
    msp.add_circle((45, 25), 16, dxfattribs={"color": 3})
    msp.add_wipeout([(25, 15), (65, 15), (65, 35), (25, 35)])
    msp.add_wipeout([(5, 30), (25, 50), (5, 50)])
    # Drawn after the wipeouts: over them.
    msp.add_line((20, 25), (70, 25), dxfattribs={"color": 2})
    msp.add_circle((45, 25), 6, dxfattribs={"color": 5})
    msp.add_text("OVER", dxfattribs={"color": 4, "height": 3, "insert": (8, 40)})


def case_table(doc, modern):
    """An ACAD_TABLE: its cells as the table records them, its look as the
    lines and texts of its anonymous *T block, inserted at its upper left
    corner."""
    msp = doc.modelspace()
    rows, cols = [9, 6, 6, 6], [30, 18, 18]
    cells = [["PARTS LIST", "", ""], ["Part", "Qty", "Mass"], ["Plate", "1", "2.4"], ["Bolt M8", "6", "0.1"]]
    blk = doc.blocks.new_anonymous_block("T")
    width, height = sum(cols), sum(rows)
    y = 0.0
    for r, h in enumerate([0] + rows):
        y -= h
        # The title row is one merged cell: no column lines through it.
        blk.add_line((0, y), (width, y), dxfattribs={"color": 1 if r in (0, len(rows)) else 0})
    x = 0.0
    for c, w in enumerate([0] + cols):
        x += w
        top = 0 if c in (0, len(cols)) else -rows[0]
        blk.add_line((x, top), (x, -height), dxfattribs={"color": 1 if c in (0, len(cols)) else 0})
    y = 0.0
    for r, h in enumerate(rows):
        x = 0.0
        for c, w in enumerate(cols):
            text = cells[r][c]
            if text:
                centre = (width / 2 if r == 0 else x + w / 2, y - h / 2)
                blk.add_mtext(text, dxfattribs={"char_height": 4 if r == 0 else 2.5, "insert": centre,
                                                "attachment_point": 5, "color": 3 if r < 2 else 7})
            x += w
        y -= h
    insert = (10, 60)
    tags = [DXFTag(0, "ACAD_TABLE"), DXFTag(5, doc.entitydb.next_handle()), DXFTag(100, "AcDbEntity"),
            DXFTag(8, "0"), DXFTag(100, "AcDbBlockReference"), DXFTag(2, blk.name), DXFTag(10, float(insert[0])),
            DXFTag(20, float(insert[1])), DXFTag(30, 0.0), DXFTag(100, "AcDbTable"), DXFTag(280, 0),
            DXFTag(343, blk.block_record_handle), DXFTag(11, 1.0), DXFTag(21, 0.0), DXFTag(31, 0.0),
            DXFTag(90, 22), DXFTag(91, len(rows)), DXFTag(92, len(cols)), DXFTag(93, 0), DXFTag(94, 0),
            DXFTag(95, 0), DXFTag(96, 0)]
    tags += [DXFTag(141, float(h)) for h in rows] + [DXFTag(142, float(w)) for w in cols]
    for r in range(len(rows)):
        for c in range(len(cols)):
            span = len(cols) if r == 0 and c == 0 else 1
            tags += [DXFTag(171, 1), DXFTag(172, 0), DXFTag(173, 1 if r == 0 and c > 0 else 0), DXFTag(174, 0),
                     DXFTag(175, span), DXFTag(176, 1), DXFTag(91, 0), DXFTag(178, 0), DXFTag(145, 0.0),
                     DXFTag(92, 0)]
            if cells[r][c]:
                tags += [DXFTag(1, cells[r][c]), DXFTag(7, "Standard")]
    table = AcadTableBlockContent.load(ExtendedTags(tags), doc)
    doc.entitydb.add(table)
    msp.add_entity(table)
    table.dxf.owner = msp.layout_key
    msp.add_line((0, 60), (10, 60), dxfattribs={"color": 7})


def case_floor_plan(doc, modern):
    doc.layers.new("WALLS", dxfattribs={"color": 7})
    doc.layers.new("DOORS", dxfattribs={"color": 3})
    doc.layers.new("DOORS-EXT", dxfattribs={"color": 1})
    doc.layers.new("LABELS", dxfattribs={"color": 2})
    doc.layers.new("FLOOR", dxfattribs={"color": 4})
    door = doc.blocks.new("DOOR9")
    # Drawn on layer 0 by layer: each insert's layer gives the colour.
    door.add_line((0, 0), (0, 9), dxfattribs={"layer": "0"})
    door.add_arc((0, 0), 9, 0, 90, dxfattribs={"layer": "0"})
    door.add_line((-1.5, 0), (0, 0), dxfattribs={"layer": "0"})
    door.add_line((9, 0), (10.5, 0), dxfattribs={"layer": "0"})
    msp = doc.modelspace()
    walls = {"layer": "WALLS"}
    for ring in ([(0, 0), (160, 0), (160, 100), (0, 100)], [(3, 3), (157, 3), (157, 97), (3, 97)]):
        if modern:
            msp.add_lwpolyline(ring, close=True, dxfattribs=walls)
        else:
            msp.add_polyline2d(ring, close=True, dxfattribs=walls)
    # Inner walls, both faces, closed at the door openings.
    for p, q in [((70, 3), (70, 40)), ((73, 3), (73, 40)), ((70, 40), (73, 40)), ((70, 52), (73, 52)),
                 ((70, 52), (70, 97)), ((73, 52), (73, 55)), ((73, 58), (73, 97)),
                 ((73, 55), (110, 55)), ((73, 58), (110, 58)), ((110, 55), (110, 58)),
                 ((122, 55), (122, 58)), ((122, 55), (157, 55)), ((122, 58), (137, 58)), ((140, 58), (157, 58)),
                 ((137, 58), (137, 61)), ((140, 58), (140, 61)), ((137, 61), (140, 61)),
                 ((137, 71), (140, 71)), ((137, 71), (137, 97)), ((140, 71), (140, 97))]:
        msp.add_line(p, q, dxfattribs=walls)
    # Doors: plain, mirrored by a negative x scale, and mirrored by their
    # plane facing down (in their own coordinates x is negated).
    msp.add_blockref("DOOR9", (71.5, 41.5), dxfattribs={"layer": "DOORS", "rotation": 90, "xscale": 1.1,
                                                        "yscale": 1.1})
    msp.add_blockref("DOOR9", (121.5, 56.5), dxfattribs={"layer": "DOORS", "xscale": -1})
    msp.add_blockref("DOOR9", (-138.5, 61.5), dxfattribs={"layer": "DOORS", "extrusion": MIRROR, "rotation": 90})
    msp.add_blockref("DOOR9", (-20, 1.5), dxfattribs={"layer": "DOORS-EXT", "extrusion": MIRROR, "xscale": 1.3,
                                                       "yscale": 1.3})
    msp.add_blockref("DOOR9", (158.5, 80), dxfattribs={"layer": "DOORS-EXT", "rotation": 90, "xscale": -1})
    labels = {"layer": "LABELS"}
    msp.add_text("LIVING", dxfattribs=dict(labels, height=5, insert=(20, 60)))
    msp.add_text("KITCHEN", dxfattribs=dict(labels, height=4, insert=(85, 25)))
    msp.add_text("HALL", dxfattribs=dict(labels, height=3, insert=(40, 10)))
    if modern:
        msp.add_mtext("BEDROOM\\P14.2 m2", dxfattribs=dict(labels, char_height=4, insert=(105, 78),
                                                          attachment_point=5))
        msp.add_mtext("BATH", dxfattribs=dict(labels, char_height=3, insert=(148.5, 85), attachment_point=5))
        h = msp.add_hatch(color=256, dxfattribs={"layer": "FLOOR"})
        h.set_pattern_fill("ANSI37", color=256, scale=1.5)
        h.paths.add_polyline_path([(140, 58), (157, 58), (157, 97), (140, 97)], is_closed=True)
    else:
        msp.add_text("BEDROOM", dxfattribs=dict(labels, height=4, insert=(90, 78)))
        msp.add_text("BATH", dxfattribs=dict(labels, height=3, insert=(142, 84)))


def case_mechanical(doc, modern):
    doc.layers.new("OUTLINE", dxfattribs={"color": 7})
    doc.layers.new("HOLES", dxfattribs={"color": 4})
    doc.layers.new("CENTER", dxfattribs={"color": 1, "linetype": "CENTER"})
    doc.layers.new("DIMS", dxfattribs={"color": 3})
    doc.header["$LTSCALE"] = 0.5
    msp = doc.modelspace()
    # The plate: rounded corners as bulges (a quarter circle each).
    b = math.tan(math.pi / 8)
    corners = [(5, 0, 0, 0, 0), (95, 0, 0, 0, b), (100, 5, 0, 0, 0), (100, 55, 0, 0, b), (95, 60, 0, 0, 0),
               (5, 60, 0, 0, b), (0, 55, 0, 0, 0), (0, 5, 0, 0, b)]
    if modern:
        msp.add_lwpolyline(corners, format="xyseb", close=True, dxfattribs={"layer": "OUTLINE"})
    else:
        pl = msp.add_polyline2d([c[:2] for c in corners], close=True, dxfattribs={"layer": "OUTLINE"})
        for v, c in zip(pl.vertices, corners):
            v.dxf.bulge = c[4]
    holes = {"layer": "HOLES"}
    for x, y in [(10, 10), (90, 10), (10, 50), (90, 50)]:
        msp.add_circle((x, y), 3.5, dxfattribs=holes)
    msp.add_circle((40, 30), 12, dxfattribs=holes)
    # A slot and two holes mirrored by their plane facing down: in their own
    # coordinates x is negated, arcs run the other way round.
    msp.add_arc((-70, 22), 4, 180, 360, dxfattribs=dict(holes, extrusion=MIRROR))
    msp.add_arc((-70, 38), 4, 0, 180, dxfattribs=dict(holes, extrusion=MIRROR))
    msp.add_line((66, 22), (66, 38), dxfattribs=holes)
    msp.add_line((74, 22), (74, 38), dxfattribs=holes)
    for x, y in [(-80, 15), (-80, 45)]:
        msp.add_circle((x, y), 2.5, dxfattribs=dict(holes, extrusion=MIRROR))
    centre = {"layer": "CENTER"}
    msp.add_line((24, 30), (56, 30), dxfattribs=centre)
    msp.add_line((40, 14), (40, 46), dxfattribs=centre)
    msp.add_line((70, 14), (70, 46), dxfattribs=centre)
    msp.add_line((-5, 30), (105, 30), dxfattribs=dict(centre, linetype="DASHDOT", color=6))
    # Millimetres at 1:1, texts 3.5 high, closed filled arrows.
    setup_dimstyle(doc, "EZ_MM_1_H35_MM", blk=ARROWS.closed_filled, name="PART")
    dims = {"layer": "DIMS"}
    msp.add_linear_dim(base=(50, -12), p1=(0, 0), p2=(100, 0), dimstyle="PART", dxfattribs=dims).render()
    msp.add_linear_dim(base=(115, 30), p1=(100, 5), p2=(100, 55), angle=90, dimstyle="PART",
                       dxfattribs=dims).render()
    msp.add_linear_dim(base=(25, 70), p1=(10, 50), p2=(40, 42), dimstyle="PART", dxfattribs=dims).render()
    msp.add_radius_dim((40, 30), radius=12, angle=45, dimstyle="PART", dxfattribs=dims).render()
    msp.add_diameter_dim((90, 50), radius=3.5, angle=30, dimstyle="PART", dxfattribs=dims).render()


def case_schematic(doc, modern):
    doc.layers.new("SYMBOLS", dxfattribs={"color": 5})
    doc.layers.new("WIRES", dxfattribs={"color": 3})
    doc.layers.new("NOTES", dxfattribs={"color": 2})
    byblock = {"layer": "0", "color": 0}
    attdef = {"layer": "0", "height": 2.5}
    res = doc.blocks.new("RES")
    res.add_line((0, 0), (4, 0), dxfattribs={"layer": "0"})
    zig = [(4, 0), (5, 1.5), (7, -1.5), (9, 1.5), (11, -1.5), (13, 1.5), (14, 0)]
    for p, q in zip(zig, zig[1:]):
        res.add_line(p, q, dxfattribs=byblock)
    res.add_line((14, 0), (18, 0), dxfattribs={"layer": "0"})
    res.add_attdef("REF", (5, 3), dxfattribs=attdef)
    res.add_attdef("VALUE", (5, -4.5), dxfattribs=dict(attdef, color=8))
    cap = doc.blocks.new("CAP")
    cap.add_line((0, 0), (7, 0), dxfattribs={"layer": "0"})
    cap.add_line((7, -4), (7, 4), dxfattribs=byblock)
    cap.add_line((9, -4), (9, 4), dxfattribs=byblock)
    cap.add_line((9, 0), (16, 0), dxfattribs={"layer": "0"})
    cap.add_attdef("REF", (4, 5), dxfattribs=attdef)
    cap.add_attdef("VALUE", (4, -7), dxfattribs=attdef)
    pin = doc.blocks.new("PIN")
    pin.add_circle((0, 0), 1, dxfattribs=byblock)
    pin.add_line((1, 0), (6, 0), dxfattribs={"layer": "0", "color": 1})
    msp = doc.modelspace()
    parts = [("RES", (20, 60), 0, {"REF": "R1", "VALUE": "10k"}, 256),
             ("RES", (60, 60), 0, {"REF": "R2", "VALUE": "4k7"}, 1),
             ("CAP", (40, 30), 90, {"REF": "C1", "VALUE": "100n"}, 6),
             ("RES", (80, 40), 270, {"REF": "R3", "VALUE": "220"}, 256)]
    for name, at, angle, values, colour in parts:
        ref = msp.add_blockref(name, at, dxfattribs={"layer": "SYMBOLS", "rotation": angle, "color": colour})
        ref.add_auto_attribs(values)
    # A row of connector pins as one insert array.
    row = msp.add_blockref("PIN", (0, 20), dxfattribs={"layer": "SYMBOLS", "color": 4})
    row.grid(size=(6, 1), spacing=(8, 1))
    wires = {"layer": "WIRES"}
    for p, q in [((6, 60), (20, 60)), ((38, 60), (60, 60)), ((78, 60), (90, 60)), ((40, 46), (40, 60)),
                 ((6, 28), (40, 28)), ((40, 28), (40, 30)), ((80, 40), (80, 60)), ((6, 20), (80, 20)),
                 ((80, 20), (80, 22))]:
        msp.add_line(p, q, dxfattribs=wires)
    for x in (40, 80):
        msp.add_circle((x, 60), 0.8, dxfattribs=dict(wires, color=7))
    msp.add_text("INPUT STAGE", dxfattribs={"layer": "NOTES", "height": 4, "insert": (20, 75)})
    msp.add_text("J1", dxfattribs={"layer": "NOTES", "height": 2.5, "insert": (-6, 62), "rotation": 90})
    msp.add_text("GND", dxfattribs={"layer": "NOTES", "height": 2.5, "insert": (84, 18)})


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
    "mtext_embedded": case_mtext_embedded,
    "mtext_codes": case_mtext_codes,
    "image": case_image,
    "wipeout": case_wipeout,
    "table": case_table,
    "floor_plan": case_floor_plan,
    "mechanical": case_mechanical,
    "schematic": case_schematic,
}
# The first version that has a case's kinds; other cases are in every one.
FIRST_VERSION = {
    "hatch_colour": "R2000",
    "xline": "R2000",
    "mtext_embedded": "R2018",
    "mtext_codes": "R2000",
    "image": "R2000",
    "wipeout": "R2000",
    "table": "R2007",
}
# What a case's file gets after it is written: the groups ezdxf does not
# write the way other writers do.
AFTER = {"handles": odd_handles, "mtext_embedded": embedded_objects}


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    write_picture(folder)
    for name, make in CASES.items():
        first = VERSIONS.index(FIRST_VERSION.get(name, VERSIONS[0]))
        for version in VERSIONS[first:]:
            modern = version != "R12"
            doc = ezdxf.new(version, setup=True)
            make(doc, modern)
            path = os.path.join(folder, f"{name}_{version}.dxf")
            doc.saveas(path)
            if name in AFTER:
                AFTER[name](path, version)
    return 0


if __name__ == "__main__":
    sys.exit(main())
