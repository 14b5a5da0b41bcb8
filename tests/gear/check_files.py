#!/usr/bin/python3
"""gearprofile's files read back by the programs a workshop uses: the JSON by Python's json,
the DXF by ezdxf (its audit and its recover module), LibreCAD and OpenSCAD, the SVG by an XML
parser, rsvg-convert, Inkscape and OpenSCAD; a ring gear's two loops by ezdxf, OpenSCAD and
rsvg-convert. A reader that is not installed is skipped and said; the test command installs
them all.

Usage: check_files.py GEARPROFILE"""
import csv
import json
import math
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree
import zlib

import ezdxf
from ezdxf import recover

KEYS = {"teeth", "module", "pressure_angle_deg", "shift", "rack", "pitch_diameter", "tip_diameter",
        "root_diameter", "base_diameter", "base_pitch", "tooth_thickness", "tip_thickness", "pointed",
        "undercut", "min_teeth_without_undercut", "min_shift_without_undercut", "span_teeth",
        "span_measurement", "outline_points", "outline_arcs", "pair", "tooth_thickness_nominal", "backlash",
        "chordal_thickness", "chordal_height", "form_diameter", "bottom_clearance", "pin_diameter",
        "measurement_over_pins", "internal", "cutter", "rim_diameter"}
CUTTER_KEYS = {"kind", "teeth", "shift", "addendum", "dedendum", "tip_radius", "cutting_pressure_angle_deg",
               "cutting_centre_distance"}
PIXELS = 600
HEIGHT = 5.0  # mm of extrusion in OpenSCAD
failures, passes = [], []
NS = "{http://www.w3.org/2000/svg}"


def check(ok, what):
    print(("ok    " if ok else "FAIL  ") + what)
    (passes if ok else failures).append(what)


def skip(what):
    print("skip  " + what)


def run(args, **kwargs):
    return subprocess.run(args, capture_output=True, text=True, timeout=300, stdin=subprocess.DEVNULL, **kwargs)


def png_pixels(path):
    """The pixel rows (RGB or RGBA, 8 bits) of a non-interlaced PNG, as rsvg-convert writes them,
    and the bytes per pixel."""
    data = open(path, "rb").read()
    pos, idat, width, height, bpp = 8, b"", 0, 0, 4
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            assert depth == 8 and colour in (2, 6), "expected 8-bit RGB or RGBA"
            bpp = 4 if colour == 6 else 3
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw, stride, rows, prev = zlib.decompress(idat), width * bpp, [], bytearray(width * bpp)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b, c = prev[i], prev[i - bpp] if i >= bpp else 0
            if kind == 1: line[i] = (line[i] + a) & 255
            elif kind == 2: line[i] = (line[i] + b) & 255
            elif kind == 3: line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line)
        prev = line
    return rows, bpp


def polygon_area(points):
    return sum(a[0] * b[1] - b[0] * a[1] for a, b in zip(points, points[1:] + points[:1])) / 2


def csv_points(path):
    with open(path) as f:
        return [(float(r[0]), float(r[1])) for r in list(csv.reader(f))[1:]]


def chained_loops(doc):
    """The GEAR layer's LINE and ARC entities walked end to end, each arc flattened to a
    micrometre's hundredth: the closed loops a CAD program joins, each as a polyline with the
    gap it closes over. A loop ends where the nearest piece left is further than its start."""
    pieces = []
    for e in doc.modelspace().query("LINE ARC[layer=='GEAR']"):
        if e.dxf.layer != "GEAR":
            continue
        if e.dxftype() == "LINE":
            pieces.append([tuple(e.dxf.start)[:2], tuple(e.dxf.end)[:2]])
        else:
            pieces.append([tuple(v)[:2] for v in e.flattening(1e-5)])
    loops = []
    while pieces:
        points, gap = list(pieces.pop(0)), 0
        while pieces:
            end = points[-1]
            i = min(range(len(pieces)), key=lambda k: min(math.dist(end, pieces[k][0]), math.dist(end, pieces[k][-1])))
            if min(math.dist(end, pieces[i][0]), math.dist(end, pieces[i][-1])) > math.dist(end, points[0]):
                break
            piece = pieces.pop(i)
            if math.dist(end, piece[0]) > math.dist(end, piece[-1]):
                piece = piece[::-1]
            gap = max(gap, math.dist(end, piece[0]))
            points += piece[1:]
        # The widest junction of the loop, its closing one included.
        loops.append((points[:-1], max(gap, math.dist(points[0], points[-1]))))
    return loops


def chained_outline(doc):
    """The one closed outline of an external gear."""
    return chained_loops(doc)[0]


def stl_volume(path):
    text = open(path).read()
    v = [tuple(map(float, m.groups())) for m in re.finditer(r"vertex\s+(\S+)\s+(\S+)\s+(\S+)", text)]
    return sum((a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) +
                a[2] * (b[0] * c[1] - b[1] * c[0])) / 6 for a, b, c in zip(v[0::3], v[1::3], v[2::3]))


def openscad_area(source, fa=0.5):
    """The cross-section OpenSCAD gives an import: the extruded solid's volume over its height,
    its arcs in pieces of fa degrees at most."""
    open("extrude.scad", "w").write("$fa = %g; $fs = 0.005; linear_extrude(%g) import(%s);\n" % (fa, HEIGHT, source))
    result = run(["openscad", "-o", "extrude.stl", "extrude.scad"])
    if result.returncode != 0 or not os.path.exists("extrude.stl"):
        return None
    volume = stl_volume("extrude.stl")
    os.remove("extrude.stl")
    return volume / HEIGHT


def check_report(program):
    done = run([program, "--teeth", "17", "--shift", "0.2", "--rack", "B", "--mate", "31", "--json", "--svg", "gear.svg",
                "--dxf", "gear.dxf", "--csv", "gear.csv"])
    check(done.returncode == 0 and done.stderr == "", "gearprofile ran: " + done.stderr.strip())
    numbers = json.loads(done.stdout)
    check(set(numbers) == KEYS, "JSON keys: " + " ".join(sorted(set(numbers) ^ KEYS)))
    check(set(numbers["rack"]) == {"addendum", "dedendum", "tip_radius", "tip_radius_reduced"}, "JSON rack keys")
    check(set(numbers["cutter"]) == CUTTER_KEYS and numbers["cutter"]["kind"] == "rack" and
          numbers["cutter"]["teeth"] is None and numbers["cutter"]["cutting_centre_distance"] is None and
          numbers["cutter"]["cutting_pressure_angle_deg"] == numbers["pressure_angle_deg"] and
          numbers["internal"] is False and numbers["rim_diameter"] is None, "JSON cutter keys of a rack-cut gear")
    check(set(numbers["pair"]) == {"working_pressure_angle_deg", "centre_distance", "contact_ratio",
                                   "effective_contact_ratio", "path_cut_at_gear_form", "path_cut_at_mate_form",
                                   "interference_gear", "interference_mate"}, "JSON pair keys")
    rows = open("gear.csv").read().splitlines()
    check(rows[0] == "x_mm,y_mm,part" and len(rows) - 1 == numbers["outline_points"], "CSV rows")
    return numbers


def check_dxf(numbers):
    doc, auditor = recover.readfile("gear.dxf")
    check(not auditor.has_errors and not auditor.has_fixes, "ezdxf's recover reads the DXF as it is")
    check(len(doc.audit().errors) == 0, "ezdxf's audit finds no error")
    check(doc.dxfversion == "AC1009" and doc.header.get("$INSUNITS") == 4, "DXF R12, millimetres")
    entities = doc.modelspace()
    gear = [e for e in entities if e.dxf.layer == "GEAR"]
    check(len(gear) == numbers["outline_arcs"] and {e.dxftype() for e in gear} <= {"ARC", "LINE"},
          "the outline: %d arcs and lines on GEAR" % len(gear))
    circles = entities.query("CIRCLE")
    check(len(circles) == 1 and circles[0].dxf.layer == "PITCH" and
          abs(circles[0].dxf.radius - numbers["pitch_diameter"] / 2) < 1e-6, "the pitch circle on PITCH")
    outline, gap = chained_outline(doc)
    # A CAD program joins ends within 10⁻⁷ mm (FreeCAD's confusion), and the ends of an ARC are
    # found from its centre, radius and angles: they must meet far closer than that.
    check(gap < 1e-9, "the arcs and lines join end to end into one closed outline (widest gap %.2g mm)" % gap)
    radii = [math.hypot(*p) for p in outline]
    check(abs(min(radii) - numbers["root_diameter"] / 2) < 1e-5 and abs(max(radii) - numbers["tip_diameter"] / 2) < 1e-5,
          "the joined outline runs from the root circle to the tip circle")
    # Arcs and chords follow the same curves within the tolerance: their areas differ by no
    # more than the tolerance along the perimeter.
    arcs_area, chords_area = polygon_area(outline), polygon_area(csv_points("gear.csv"))
    perimeter = sum(math.dist(a, b) for a, b in zip(outline, outline[1:] + outline[:1]))
    check(0 < arcs_area - chords_area < 0.001 * perimeter, "arcs enclose the chords' area and a hair more: %.6f, %.6f"
          % (arcs_area, chords_area))
    if shutil.which("librecad"):
        printed = run(["librecad", "dxf2pdf", "-o", "gear.pdf", "gear.dxf"], env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
        check(printed.returncode == 0 and os.path.getsize("gear.pdf") > 1000, "LibreCAD's dxf2pdf prints the DXF")
    else:
        skip("LibreCAD is not installed")
    if shutil.which("openscad"):
        area = openscad_area('"gear.dxf", layer = "GEAR"')
        check(area is not None and abs(area / arcs_area - 1) < 1e-4,
              "OpenSCAD extrudes the DXF to the outline's area × height: %s against %.6f" % (area, arcs_area))
    else:
        skip("OpenSCAD is not installed")
    return arcs_area


def check_svg(program, numbers, arcs_area):
    svg = ElementTree.parse("gear.svg").getroot()
    paths = svg.findall(".//" + NS + "path")
    check(len(paths) == 1 and paths[0].get("id") == "gear-outline" and paths[0].get("fill") == "none" and
          paths[0].get("stroke-width") == "0.01" and not svg.findall(".//" + NS + "circle"),
          "the SVG for cutting: the outline alone, unfilled, a 0.01 mm hairline")
    d = paths[0].get("d")
    check(d.count("A") + d.count("L") == numbers["outline_arcs"] and d.count("A") > d.count("L") and d.endswith("Z"),
          "the path is the outline's arcs (and a few lines), closed")
    check(svg.get("width").endswith("mm") and svg.get("height").endswith("mm"), "SVG width and height in mm")
    if shutil.which("inkscape"):
        query = run(["inkscape", "--query-all", "gear.svg"]).stdout
        box = [line.split(",") for line in query.splitlines() if line.startswith("gear-outline,")]
        width, height = (float(box[0][3]) * 25.4 / 96, float(box[0][4]) * 25.4 / 96) if box else (0, 0)  # px of 96 an inch
        xs, ys = zip(*csv_points("gear.csv"))
        check(abs(width - (max(xs) - min(xs)) - 0.01) < 0.002 and abs(height - (max(ys) - min(ys)) - 0.01) < 0.002,
              "Inkscape's box of the outline, %.4f × %.4f mm, is the outline's and the stroke" % (width, height))
    else:
        skip("Inkscape is not installed")

    # With --reference-circles the circles come in a group of their own, in another colour.
    run([program, "--teeth", "17", "--shift", "0.2", "--rack", "B", "--reference-circles", "--svg", "circles.svg"])
    groups = [g for g in ElementTree.parse("circles.svg").getroot().iter(NS + "g") if g.get("id") == "reference"]
    radii = sorted(float(c.get("r")) for c in groups[0].findall(NS + "circle")) if groups else []
    wanted = sorted(numbers[k] / 2 for k in ("pitch_diameter", "base_diameter", "tip_diameter", "root_diameter"))
    check(len(groups) == 1 and groups[0].get("stroke") != "#000000" and
          all(abs(a - b) < 1e-6 for a, b in zip(radii, wanted)) and len(radii) == 4,
          "--reference-circles: pitch, base, tip and root in group 'reference', not black")
    subprocess.run(["rsvg-convert", "-w", str(PIXELS), "-h", str(PIXELS), "-b", "white", "-o", "gear.png",
                    "circles.svg"], check=True, timeout=60, stdin=subprocess.DEVNULL)
    image, bpp = png_pixels("gear.png")
    size_mm = numbers["tip_diameter"] * 1.06  # the picture's margin round the tip circle
    scale, centre = PIXELS / size_mm, PIXELS / 2
    radius = numbers["pitch_diameter"] / 2 * scale
    # The thin circle is anti-aliased over white: blue stands out however faint.
    blue = lambda x, y: image[y][bpp * x + 2] - max(image[y][bpp * x], image[y][bpp * x + 1]) > 20
    found = 0
    for step in range(72):
        a = step * math.pi / 36
        near = [(round(centre + (radius + d) * math.cos(a)), round(centre - (radius + d) * math.sin(a)))
                for d in (-1.5, -0.5, 0.5, 1.5)]
        far = [(round(centre + (radius + d) * math.cos(a)), round(centre - (radius + d) * math.sin(a)))
               for d in (-6, 6)]
        found += any(blue(x, y) for x, y in near) and not any(blue(x, y) for x, y in far)
    check(found >= 68, "rsvg-convert: pitch-circle pixels on the pitch circle, none beside it: %d of 72 angles" % found)

    # OpenSCAD draws an SVG's arcs in pieces of 12° whatever it is asked: the chords are the SVG
    # to extrude there.
    if shutil.which("openscad"):
        run([program, "--teeth", "17", "--shift", "0.2", "--rack", "B", "--chords", "--svg", "chords.svg"])
        area, chords_area = openscad_area('"chords.svg"'), polygon_area(csv_points("gear.csv"))
        check(area is not None and abs(area / chords_area - 1) < 1e-4,
              "OpenSCAD extrudes the chords' SVG to the outline's area × height: %s against %.6f" % (area, chords_area))


def check_ring(program):
    """A ring gear: its JSON's keys, the CSV's two loops, the DXF joined by ezdxf into the rim
    round the toothed hole and extruded by OpenSCAD to their area, the SVG one even-odd path of
    two loops that rsvg-convert, filling it, paints as a ring."""
    done = run([program, "--teeth", "60", "--internal", "--mate", "50", "--json", "--dxf", "ring.dxf", "--svg", "ring.svg",
                "--csv", "ring.csv"])
    check(done.returncode == 0 and done.stderr == "", "gearprofile cut the ring: " + done.stderr.strip())
    numbers = json.loads(done.stdout)
    rim = numbers["rim_diameter"]
    check(set(numbers) == KEYS and set(numbers["cutter"]) == CUTTER_KEYS and numbers["rack"] is None and
          all(set(numbers["pair"][c]) == {"passed", "reason"} for c in ("involute_check", "tip_check", "radial_check")),
          "JSON keys of a ring and of the pinion inside it")

    with open("ring.csv") as f:
        rows = list(csv.DictReader(f))
    loops = [[(float(r["x_mm"]), float(r["y_mm"])) for r in rows if r["loop"] == k] for k in ("0", "1")]
    check(len(rows) == numbers["outline_points"] and polygon_area(loops[0]) < 0 < polygon_area(loops[1]) and
          all(abs(math.hypot(*p) - rim / 2) < 1e-5 for p in loops[1]),
          "CSV: the teeth clockwise as loop 0, the rim counter-clockwise on its circle as loop 1")
    points_area = polygon_area(loops[0]) + polygon_area(loops[1])

    doc, auditor = recover.readfile("ring.dxf")
    check(not auditor.has_errors and not auditor.has_fixes and len(doc.audit().errors) == 0,
          "ezdxf reads the ring's DXF as it is, and its audit finds no error")
    # A rounding's centre is written to the decimals that keep every point within a tenth of the
    # tolerance: its ends may miss its neighbours' by as much, never more.
    joined = sorted(chained_loops(doc), key=lambda loop: max(math.hypot(*p) for p in loop[0]))
    check(len(joined) == 2 and all(gap < 1e-4 for _, gap in joined) and
          all(abs(math.hypot(*p) - rim / 2) < 1e-6 for p in joined[1][0]),
          "ezdxf's entities join into two closed loops, the outer one the rim")
    dxf_area = abs(polygon_area(joined[1][0])) - abs(polygon_area(joined[0][0]))
    check(abs(dxf_area - points_area) < 0.001 * math.pi * rim, "the DXF's ring, %.4f mm², is the CSV's, %.4f mm²"
          % (dxf_area, points_area))
    if shutil.which("openscad"):
        # Fine pieces: a rim of half-degree pieces would lose more area than the tolerance.
        area = openscad_area('"ring.dxf", layer = "GEAR"', fa=0.1)
        check(area is not None and abs(area / dxf_area - 1) < 1e-4,
              "OpenSCAD extrudes the ring's DXF to the rim disc less the toothed hole: %s against %.6f" % (area, dxf_area))
    else:
        skip("OpenSCAD is not installed")

    path = ElementTree.parse("ring.svg").getroot().findall(".//" + NS + "path")[0]
    check(path.get("fill") == "none" and path.get("fill-rule") == "evenodd" and path.get("d").count("M") == 2 and
          path.get("d").count("Z") == 2, "the ring's SVG: one unfilled even-odd path of two closed loops")
    open("filled.svg", "w").write(open("ring.svg").read().replace('fill="none"', 'fill="#000000"', 1))
    subprocess.run(["rsvg-convert", "-w", str(PIXELS), "-h", str(PIXELS), "-b", "white", "-o", "filled.png",
                    "filled.svg"], check=True, timeout=60, stdin=subprocess.DEVNULL)
    image, bpp = png_pixels("filled.png")
    scale, centre = PIXELS / (rim * 1.06), PIXELS / 2
    dark = lambda r, a: image[round(centre - r * scale * math.sin(a))][bpp * round(centre + r * scale * math.cos(a))] < 64
    angles = [k * math.pi / 18 for k in range(36)]
    check(all(dark((numbers["root_diameter"] + rim) / 4, a) and not dark(numbers["tip_diameter"] / 4, a) and
              not dark(rim / 2 * 1.02, a) for a in angles),
          "rsvg-convert fills between the teeth and the rim, and leaves the hole and the outside white")


def check_precision(program):
    """Every point written within a tenth of the tolerance, and no two neighbours merged."""
    for args, tolerance in ((["--teeth", "9", "--tolerance", "1e-7"], 1e-7), (["--teeth", "20", "--module", "1e-6"], 1e-3)):
        run([program] + args + ["--csv", "fine.csv"])
        points = csv_points("fine.csv")
        decimals = len(open("fine.csv").read().splitlines()[1].split(",")[0].split(".")[1])
        merged = sum(a == b for a, b in zip(points, points[1:] + points[:1]))
        check(0.5 * 10 ** -decimals * math.sqrt(2) <= tolerance / 10 and merged == 0,
              "%s: %d decimals, %d neighbours merged" % (" ".join(args), decimals, merged))


def check_streams(program):
    # A reader that leaves at once: a failed report, said, and the file still written.
    reading, writing = os.pipe()
    os.close(reading)
    done = subprocess.run([program, "--teeth", "12", "--csv", "after.csv"], stdout=writing, stderr=subprocess.PIPE,
                          text=True, timeout=60, stdin=subprocess.DEVNULL)
    os.close(writing)
    check(done.returncode == 1 and done.stderr == "gearprofile: cannot write the report: Broken pipe\n" and
          open("after.csv").read().startswith("x_mm,y_mm,part\n"),
          "a closed pipe ends with status 1 and a message: %d %r" % (done.returncode, done.stderr))
    # The SVG into standard output, redirected to a file: the report and the drawing both land.
    with open("both.txt", "w") as both:
        done = subprocess.run([program, "--teeth", "12", "--svg", "/dev/stdout"], stdout=both, timeout=60,
                              stdin=subprocess.DEVNULL)
    text = open("both.txt").read()
    check(done.returncode == 0 and text.startswith("Involute spur gear: 12 teeth") and text.endswith("</svg>\n"),
          "--svg /dev/stdout after a redirect keeps the report")


def main():
    program = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as scratch:
        os.chdir(scratch)
        numbers = check_report(program)
        arcs_area = check_dxf(numbers)
        check_svg(program, numbers, arcs_area)
        check_ring(program)
        check_precision(program)
        check_streams(program)
    print("%d passed, %d failed" % (len(passes), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
