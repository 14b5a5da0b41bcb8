#!/usr/bin/python3
"""Random valid-looking gears through gearprofile, read back by shapely: every outline written
with exit status 0 is a simple polygon whose radii are the report's root and tip radii; a gear
refused with status 2 writes nothing. Small tooth counts and negative shifts are many, since
that is where undercut teeth come apart.

Usage: fuzz_outlines.py GEARPROFILE [COUNT [SEED]]"""
import csv
import json
import math
import os
import random
import subprocess
import sys
import tempfile

from shapely.geometry import LinearRing, Polygon

RACKS = ["A", "B", "C", "D", "straight"]


def main():
    program = os.path.abspath(sys.argv[1])
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 300
    seed = int(sys.argv[3]) if len(sys.argv) > 3 else 20261208
    rng = random.Random(seed)
    failures, written, refused = [], 0, 0
    with tempfile.TemporaryDirectory() as scratch:
        os.chdir(scratch)
        for case in range(count):
            teeth = rng.choice([rng.randint(3, 12), rng.randint(3, 40), rng.randint(13, 200)])
            args = ["--teeth", str(teeth), "--shift", "%.3f" % rng.uniform(-1.2, 1.0),
                    "--rack", rng.choice(RACKS), "--pressure-angle", rng.choice(["14.5", "20", "22.5", "25"]),
                    "--module", rng.choice(["0.5", "1", "3"]), "--tolerance", rng.choice(["0.01", "0.001", "0.0001"])]
            name = "gear%d.csv" % case
            run = subprocess.run([program, "--json", "--csv", name] + args, capture_output=True, text=True,
                                 timeout=60, stdin=subprocess.DEVNULL)
            what = " ".join(args)
            if run.returncode == 2:
                refused += 1
                if os.path.exists(name) or run.stdout or run.stderr.count("\n") != 1:
                    failures.append("refused but wrote something: " + what)
                continue
            if run.returncode != 0:
                failures.append("exit %d: %s: %s" % (run.returncode, what, run.stderr.strip()))
                continue
            written += 1
            numbers = json.loads(run.stdout)
            with open(name) as f:
                rows = list(csv.reader(f))[1:]
            points = [(float(r[0]), float(r[1])) for r in rows]
            ring = LinearRing(points)
            polygon = Polygon(points)
            radii = [math.hypot(x, y) for x, y in points]
            if not (ring.is_simple and polygon.is_valid and polygon.area > 0):
                failures.append("not a simple polygon: " + what)
            elif abs(min(radii) - numbers["root_diameter"] / 2) > 1e-5 or \
                    abs(max(radii) - numbers["tip_diameter"] / 2) > 1e-5:
                failures.append("radii %.6f … %.6f: %s" % (min(radii), max(radii), what))
            os.remove(name)
    for f in failures:
        print("FAIL  " + f)
    print("seed %d: %d written, %d refused, %d failed" % (seed, written, refused, len(failures)))
    return 1 if failures or written < count // 3 else 0


if __name__ == "__main__":
    sys.exit(main())
