#!/usr/bin/python3
"""gearprofile's files read back by real readers: the JSON by Python's json, the DXF by
ezdxf, the SVG by an XML parser and rendered by rsvg-convert, with the pitch circle found
where it belongs.

Usage: check_files.py GEARPROFILE"""
import json
import math
import xml.etree.ElementTree as ElementTree
import os
import struct
import subprocess
import sys
import tempfile
import zlib

import ezdxf

KEYS = {"teeth", "module", "pressure_angle_deg", "shift", "rack", "pitch_diameter", "tip_diameter",
        "root_diameter", "base_diameter", "base_pitch", "tooth_thickness", "tip_thickness", "pointed",
        "undercut", "min_teeth_without_undercut", "min_shift_without_undercut", "span_teeth",
        "span_measurement", "outline_points", "pair"}
PIXELS = 600
failures, passes = [], []


def check(ok, what):
    print(("ok    " if ok else "FAIL  ") + what)
    (passes if ok else failures).append(what)


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


def main():
    program = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as scratch:
        os.chdir(scratch)
        run = subprocess.run([program, "--teeth", "17", "--shift", "0.2", "--rack", "B", "--mate", "31",
                              "--json", "--svg", "gear.svg", "--dxf", "gear.dxf", "--csv", "gear.csv"],
                             capture_output=True, text=True, timeout=60, stdin=subprocess.DEVNULL)
        check(run.returncode == 0 and run.stderr == "", "gearprofile ran: " + run.stderr.strip())
        numbers = json.loads(run.stdout)
        check(set(numbers) == KEYS, "JSON keys: " + " ".join(sorted(set(numbers) ^ KEYS)))
        check(set(numbers["rack"]) == {"addendum", "dedendum", "tip_radius", "tip_radius_reduced"}, "JSON rack keys")
        check(set(numbers["pair"]) == {"working_pressure_angle_deg", "centre_distance", "contact_ratio",
                                       "effective_contact_ratio", "path_cut_at_gear_form", "path_cut_at_mate_form",
                                       "interference_gear", "interference_mate"}, "JSON pair keys")
        rows = open("gear.csv").read().splitlines()
        check(rows[0] == "x_mm,y_mm,part" and len(rows) - 1 == numbers["outline_points"], "CSV rows")

        doc = ezdxf.readfile("gear.dxf")
        check(doc.header.get("$INSUNITS") == 4, "DXF units are millimetres")
        lines = doc.modelspace().query("LWPOLYLINE")
        check(len(lines) == 1, "DXF holds one LWPOLYLINE")
        outline = lines[0]
        check(outline.closed and outline.dxf.layer == "GEAR", "the LWPOLYLINE is closed, on GEAR")
        points = outline.get_points("xy")
        check(len(points) == numbers["outline_points"], "LWPOLYLINE vertices: %d" % len(points))
        first = [float(v) for v in rows[1].split(",")[:2]]
        check(math.dist(points[0], first) < 1e-6, "the first vertex is the CSV's first point")
        circles = doc.modelspace().query("CIRCLE")
        check(len(circles) == 1 and circles[0].dxf.layer == "PITCH" and
              abs(circles[0].dxf.radius - numbers["pitch_diameter"] / 2) < 1e-6, "the pitch circle on PITCH")
        check(len(doc.audit().errors) == 0, "ezdxf's audit finds no error")

        svg = ElementTree.parse("gear.svg").getroot()
        ns = "{http://www.w3.org/2000/svg}"
        paths = svg.findall(".//" + ns + "path")
        check(len(paths) == 1 and paths[0].get("id") == "gear-outline", "SVG holds one path, the outline")
        steps = paths[0].get("d").split()
        check(steps[-1] == "Z" and sum(s[0] in "ML" for s in steps) == numbers["outline_points"],
              "the path visits every point once and closes")
        check(math.dist((float(steps[0][1:]), float(steps[1])), (first[0], -first[1])) < 1e-6,
              "the path starts at the CSV's first point, y flipped")
        check(svg.get("width").endswith("mm") and svg.get("height").endswith("mm"), "SVG width and height in mm")
        group = [g for g in svg.iter(ns + "g") if g.get("id") == "reference-circles"]
        check(len(group) == 1 and len(group[0].findall(ns + "circle")) == 2, "pitch and base circles in their group")

        subprocess.run(["rsvg-convert", "-w", str(PIXELS), "-h", str(PIXELS), "-b", "white", "-o", "gear.png",
                        "gear.svg"], check=True, timeout=60, stdin=subprocess.DEVNULL)
        image, bpp = png_pixels("gear.png")
        size_mm = numbers["tip_diameter"] * 1.06  # the picture's margin round the tip circle
        scale, centre = PIXELS / size_mm, PIXELS / 2
        radius = numbers["pitch_diameter"] / 2 * scale
        # The thin circle is anti-aliased over white: blue stands out however faint.
        blue = lambda x, y: image[y][bpp * x + 2] - max(image[y][bpp * x], image[y][bpp * x + 1]) > 50
        found = 0
        for step in range(72):
            a = step * math.pi / 36
            near = [(round(centre + (radius + d) * math.cos(a)), round(centre - (radius + d) * math.sin(a)))
                    for d in (-1.5, -0.5, 0.5, 1.5)]
            far = [(round(centre + (radius + d) * math.cos(a)), round(centre - (radius + d) * math.sin(a)))
                   for d in (-6, 6)]
            found += any(blue(x, y) for x, y in near) and not any(blue(x, y) for x, y in far)
        check(found >= 68, "pitch-circle pixels on the pitch circle, none beside it: %d of 72 angles" % found)

        # A reader that leaves at once: a failed report, said, and the file still written.
        reading, writing = os.pipe()
        os.close(reading)
        run = subprocess.run([program, "--teeth", "12", "--csv", "after.csv"], stdout=writing, stderr=subprocess.PIPE,
                             text=True, timeout=60, stdin=subprocess.DEVNULL)
        os.close(writing)
        check(run.returncode == 1 and run.stderr == "gearprofile: cannot write the report: Broken pipe\n" and
              open("after.csv").read().startswith("x_mm,y_mm,part\n"),
              "a closed pipe ends with status 1 and a message: %d %r" % (run.returncode, run.stderr))
        # The SVG into standard output, redirected to a file: the report and the drawing both land.
        with open("both.txt", "w") as both:
            run = subprocess.run([program, "--teeth", "12", "--svg", "/dev/stdout"], stdout=both, timeout=60,
                                 stdin=subprocess.DEVNULL)
        text = open("both.txt").read()
        check(run.returncode == 0 and text.startswith("Involute spur gear: 12 teeth") and text.endswith("</svg>\n"),
              "--svg /dev/stdout after a redirect keeps the report")
    print("%d passed, %d failed" % (len(passes), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
