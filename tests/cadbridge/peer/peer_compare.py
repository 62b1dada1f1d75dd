#!/usr/bin/env python3
"""Pictures of DXF files drawn by cadbridge beside those of ezdxf's drawing
add-on, and how much of each one's ink the other covers.

Each file is drawn by the peer (ezdxf with matplotlib) first; the area the
peer's drawing covers, widened a little and to the picture's proportions, is
then drawn by ours (cadbridge_render) at the same size. Ink is every pixel
that is not background. Recall is the share of the peer's ink within 3 pixels
of ours, precision the share of ours within 3 pixels of the peer's, colour
agreement the share of the peer's ink within 3 pixels of ink of ours of the
same colour: the same hue, within a tolerance, since the peer's lines are
anti-aliased into the background; near-grey pixels (white, grey, black lines)
are a colour of their own.

By hand, over all of librecad-data (or any files and folders):

  peer_compare.py --render build-test/tests/cadbridge/cadbridge_render \\
      -j 4 /usr/share/librecad

prints one line per file and a summary. With --table, each line of the table
names a file (found under the data folder) with its least recall and
precision; the exit status is 1 when one falls short, 77 (skipped) when the
peer or the data is missing.
"""

import argparse
import atexit
import io
import logging
import concurrent.futures
import os
import re
import shutil
import subprocess
import sys
import tempfile
import zlib

SKIPPED = 77
DEFAULT_DATA = "/usr/share/librecad"
TOLERANCE = 3  # pixels
MARGIN = 0.02  # of the peer's area, on every side
INK_LEVEL = 40  # brightest channel above this (of 255) is ink
GREY_SATURATION = 0.3  # below this (of the brightest channel) a pixel is grey
HUE_BINS = 24  # of 15 degrees each; a neighbouring bin counts as the same hue
PEER_TIMEOUT = 120  # seconds per file, for hand runs over many files


def private_matplotlib_folder():
    """matplotlib keeps its cache in the home folder unless told otherwise:
    a run gets a folder of its own (its workers inherit it), removed when
    the run ends."""
    folder = tempfile.mkdtemp(prefix="qm_mplconfig_")
    os.environ["MPLCONFIGDIR"] = folder
    atexit.register(shutil.rmtree, folder, True)


def have_peer():
    try:
        import ezdxf  # noqa: F401
        import matplotlib  # noqa: F401
        import numpy  # noqa: F401
        from PIL import Image  # noqa: F401
    except ImportError as e:
        return str(e)
    return None


def peer_render(path, png, width, height):
    """Draws the model space with ezdxf into png; returns the area drawn
    (xmin, ymin, xmax, ymax), or None when nothing was drawn, and how many
    entities the peer failed on."""
    import matplotlib

    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
    from ezdxf import recover
    from ezdxf.addons.drawing import Frontend, RenderContext
    from ezdxf.addons.drawing.config import Configuration
    from ezdxf.addons.drawing.matplotlib import MatplotlibBackend
    from ezdxf.addons.drawing.properties import LayoutProperties

    logging.getLogger("matplotlib").setLevel(logging.ERROR)
    logging.getLogger("ezdxf").setLevel(logging.CRITICAL)

    class Tolerant(Frontend):
        """Leaves out an entity the peer fails on, and counts it."""

        failed = 0

        def draw_entity(self, entity, properties):
            try:
                super().draw_entity(entity, properties)
            except Exception:
                Tolerant.failed += 1

    with open(path, "rb") as f:
        data = f.read()
    # The peer reads "\\U+XXXX" only with capital hex digits and fails on the
    # whole file otherwise: its digits are raised first.
    data = re.sub(rb"\\U\+([0-9a-fA-F]{4})", lambda m: b"\\U+" + m.group(1).upper(), data)
    doc, _ = recover.read(io.BytesIO(data))
    msp = doc.modelspace()
    dpi = 100
    fig = plt.figure(figsize=(width / dpi, height / dpi), dpi=dpi)
    try:
        ax = fig.add_axes((0, 0, 1, 1))
        props = LayoutProperties.from_layout(msp)
        props.set_colors("#000000")
        # Constant one-pixel lines: ours has no line weights. Points take the
        # file's mark and size ($PDMODE, $PDSIZE), not the add-on's dot.
        config = Configuration.defaults().with_changes(lineweight_scaling=0.0, pdmode=None, pdsize=None)
        backend = MatplotlibBackend(ax, adjust_figure=False)
        Tolerant(RenderContext(doc), backend, config).draw_layout(msp, finalize=True, layout_properties=props)
        lim = ax.dataLim
        if not (lim.width >= 0 and lim.height >= 0) or not all(map(_finite, lim.bounds)):
            return None, Tolerant.failed
        x0, y0, x1, y1 = lim.x0, lim.y0, lim.x1, lim.y1
        w, h = max(x1 - x0, 1e-6), max(y1 - y0, 1e-6)
        w, h = w * (1 + 2 * MARGIN), h * (1 + 2 * MARGIN)
        # The picture's proportions, the drawing centred.
        if w / h < width / height:
            w = h * width / height
        else:
            h = w * height / width
        cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
        area = (cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2)
        ax.set_aspect("auto")
        ax.set_xlim(area[0], area[2])
        ax.set_ylim(area[1], area[3])
        fig.savefig(png, dpi=dpi, facecolor="#000000")
        return area, Tolerant.failed
    finally:
        plt.close(fig)


def _finite(v):
    return v == v and abs(v) != float("inf")


def pixels(png, width, height):
    import numpy as np
    from PIL import Image

    img = np.asarray(Image.open(png).convert("RGB"))
    if img.shape[0] != height or img.shape[1] != width:
        raise ValueError(f"{png} is {img.shape[1]}x{img.shape[0]}, not {width}x{height}")
    return img


def ink(img):
    return img.max(axis=2) > INK_LEVEL


def hue_bins(img):
    """Per pixel its hue bin 0..HUE_BINS-1, or HUE_BINS for grey."""
    import numpy as np

    rgb = img.astype(np.float64)
    r, g, b = rgb[..., 0], rgb[..., 1], rgb[..., 2]
    hi, lo = rgb.max(axis=2), rgb.min(axis=2)
    span = np.maximum(hi - lo, 1e-9)
    hue = np.where(hi == r, (g - b) / span % 6, np.where(hi == g, (b - r) / span + 2, (r - g) / span + 4)) * 60.0
    bins = (np.floor(hue / (360.0 / HUE_BINS) + 0.5).astype(int)) % HUE_BINS
    grey = (hi - lo) < GREY_SATURATION * np.maximum(hi, 1e-9)
    return np.where(grey, HUE_BINS, bins)


def colour_agreement(peer_img, peer, ours_img, ours):
    """The share of the peer's ink that has ink of ours of its colour near."""
    import numpy as np

    n = int(peer.sum())
    if n == 0:
        return 1.0
    pb, ob = hue_bins(peer_img), hue_bins(ours_img)
    near_bin = [near(ours & (ob == k)) for k in range(HUE_BINS + 1)]
    agree = np.zeros_like(peer)
    for k in range(HUE_BINS):
        around = near_bin[k] | near_bin[(k - 1) % HUE_BINS] | near_bin[(k + 1) % HUE_BINS]
        agree |= peer & (pb == k) & around
    agree |= peer & (pb == HUE_BINS) & near_bin[HUE_BINS]
    return float(agree.sum()) / n


def near(mask, r=TOLERANCE):
    """Every pixel within r of an ink pixel (a disc of radius r)."""
    import numpy as np

    out = np.zeros_like(mask)
    h, w = mask.shape
    for dy in range(-r, r + 1):
        for dx in range(-r, r + 1):
            if dx * dx + dy * dy > r * r:
                continue
            src = mask[max(0, -dy) : h - max(0, dy), max(0, -dx) : w - max(0, dx)]
            out[max(0, dy) : h - max(0, -dy), max(0, dx) : w - max(0, -dx)] |= src
    return out


def share(of, within):
    n = int(of.sum())
    return 1.0 if n == 0 else float((of & within).sum()) / n


def compare(job):
    """One file: (path, recall, precision, colour, note); recall None on
    failure."""
    path, render, work, width, height = job
    base = os.path.join(work, os.path.basename(path).rsplit(".", 1)[0] + "-" + "%08x" % zlib.crc32(path.encode()))
    peer_png, ours_png = base + "-peer.png", base + "-ours.png"
    try:
        area, peer_failed = peer_render(path, peer_png, width, height)
    except Exception as e:  # the peer's failure is reported, not ours
        return path, None, None, None, "peer failed: " + (str(e).splitlines() or [type(e).__name__])[0][:80]
    if area is None:
        return path, None, None, None, "peer drew nothing"
    cmd = [render, path, ours_png, f"{width}x{height}"] + ["%.17g" % v for v in area]
    try:
        run = subprocess.run(cmd, capture_output=True, text=True, timeout=PEER_TIMEOUT)
    except subprocess.TimeoutExpired:
        return path, 0.0, 0.0, 0.0, "ours timed out"
    except OSError as e:
        return path, 0.0, 0.0, 0.0, f"ours could not run: {e}"
    if run.returncode != 0:
        why = (run.stderr.strip().splitlines() or ["exit %d" % run.returncode])[-1]
        return path, 0.0, 0.0, 0.0, "ours failed: " + why
    peer_img, ours_img = pixels(peer_png, width, height), pixels(ours_png, width, height)
    peer, ours = ink(peer_img), ink(ours_img)
    note = f"the peer failed on {peer_failed} entities" if peer_failed else ""
    colour = colour_agreement(peer_img, peer, ours_img, ours)
    return path, share(peer, near(ours)), share(ours, near(peer)), colour, note


def find_files(items):
    files = []
    for item in items:
        if os.path.isdir(item):
            for root, _, names in os.walk(item):
                files += [os.path.join(root, n) for n in names if n.lower().endswith(".dxf")]
        else:
            files.append(item)
    return sorted(files)


def read_table(table, data):
    """(path, least recall, least precision) per line of the table."""
    by_name = {}
    for path in find_files([data]):
        by_name.setdefault(os.path.basename(path), path)
    rows = []
    with open(table, encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].split()
            if not line:
                continue
            name, recall, precision = line[0], float(line[1]), float(line[2])
            if name not in by_name:
                raise FileNotFoundError(f"{name} is not under {data}")
            rows.append((by_name[name], recall, precision))
    return rows


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--render", required=True, help="the cadbridge_render program")
    ap.add_argument("--table", help="file with lines: NAME LEAST_RECALL LEAST_PRECISION")
    ap.add_argument("--data", default=DEFAULT_DATA, help="where the table's files are (default %(default)s)")
    ap.add_argument("--work", help="folder for the pictures (kept); a temporary one otherwise")
    ap.add_argument("--size", default="640x480", help="picture size (default %(default)s)")
    ap.add_argument("-j", "--jobs", type=int, default=min(4, os.cpu_count() or 1))
    ap.add_argument("files", nargs="*", help="DXF files or folders")
    args = ap.parse_args()

    private_matplotlib_folder()
    missing = have_peer()
    if missing:
        print(f"skipped: the peer is not installed ({missing}); install python3-ezdxf python3-matplotlib")
        return SKIPPED
    width, height = (int(v) for v in args.size.lower().split("x"))
    if args.table:
        if not os.path.isdir(args.data):
            print(f"skipped: {args.data} is missing; install librecad-data")
            return SKIPPED
        rows = read_table(args.table, args.data)
    else:
        rows = [(p, None, None) for p in find_files(args.files)]
    if not rows:
        print("no DXF files given")
        return 2

    tmp = None
    work = args.work
    if work:
        os.makedirs(work, exist_ok=True)
    else:
        tmp = tempfile.TemporaryDirectory()
        work = tmp.name
    jobs = [(p, os.path.abspath(args.render), work, width, height) for p, _, _ in rows]
    least = {p: (r, q) for p, r, q in rows}
    results = []
    with concurrent.futures.ProcessPoolExecutor(max_workers=max(1, args.jobs)) as pool:
        for path, recall, precision, colour, note in pool.map(compare, jobs):
            results.append((path, recall, precision, colour, note))
            shown = " ".join("%6s" % ("-" if v is None else f"{v:.3f}") for v in (recall, precision, colour))
            print(f"{shown}  {path}{'  (' + note + ')' if note else ''}", flush=True)

    compared = [r for r in results if r[1] is not None]
    short = []
    for path, recall, precision, _, note in results:
        want = least.get(path, (None, None))
        if want[0] is not None and (recall is None or recall < want[0] or precision < want[1]):
            short.append(f"{os.path.basename(path)}: recall {recall} (least {want[0]}), "
                         f"precision {precision} (least {want[1]}) {note}")
    n = len(compared)
    if n:
        good = sum(1 for r in compared if r[1] >= 0.9)
        low = [os.path.basename(r[0]) for r in compared if r[1] < 0.5]
        prec = sorted(r[2] for r in compared)
        mean_p = sum(prec) / n
        print(f"\n{len(results)} files, {n} compared ({len(results) - n} the peer could not draw)")
        print(f"recall >= 0.9: {good} of {n} ({100.0 * good / n:.1f}%)")
        print(f"recall < 0.5: {len(low)}" + (": " + " ".join(low) if low else ""))
        print(f"precision: mean {mean_p:.3f}, >= 0.95 in {sum(1 for p in prec if p >= 0.95)} of {n}, "
              f"least {prec[0]:.3f}")
        colours = sorted(r[3] for r in compared)
        print(f"colour: mean {sum(colours) / n:.3f}, >= 0.9 in {sum(1 for c in colours if c >= 0.9)} of {n}, "
              f"least {colours[0]:.3f}")
    for line in short:
        print("SHORT " + line)
    if tmp:
        tmp.cleanup()
    return 1 if short else 0


if __name__ == "__main__":
    sys.exit(main())
