#!/usr/bin/env python3
"""The far sidelobe of `psenv sched psf` against numpy's own computation of
the same definition, on schedules that numpy's generator draws (no
generator of psenv makes them).

    far_sidelobe_numpy.py PSENV

For grids of one to three dimensions (odd and even sizes), densities from a
few points to most of the grid and main lobes W = 0 .. 3, numpy transforms
the 0/1 mask, and the far sidelobe is the largest |F(k)| / |F(0)| over every
k with some centred |k_d| > W.  psenv's printed value (ten significant
digits) must agree to 1e-8 relative, its position must hold a magnitude
equal to it, the max sidelobe likewise for every k != 0, and the count of
frequencies outside the main lobe exactly.  Exit 77 (skipped) without numpy
or without point-spread functions in psenv.
"""
import os
import re
import subprocess
import sys
import tempfile

try:
    import numpy as np
except ImportError:
    print("numpy is missing: skipped")
    sys.exit(77)

GRIDS = [(37,), (64,), (16, 12), (33, 20), (8, 6, 5), (1, 24), (3, 2)]


def centred(n):
    """|centred k| for k = 0 .. n-1."""
    k = np.arange(n)
    return np.abs(np.where(k <= (n - 1) // 2, k, k - n))


def expected(mask, exclude):
    """(far sidelobe, max sidelobe, frequencies outside) of a mask."""
    spectrum = np.abs(np.fft.fftn(mask)) / mask.sum()
    outside = np.zeros(mask.shape, dtype=bool)
    for axis, n in enumerate(mask.shape):
        shape = [1] * mask.ndim
        shape[axis] = n
        outside |= centred(n).reshape(shape) > exclude
    far = spectrum[outside].max() if outside.any() else 0.0
    others = spectrum.copy()
    others.flat[0] = 0
    return far, others.max(), int(outside.sum()), spectrum


def write_schedule(path, points):
    with open(path, "w") as out:
        for point in points:
            out.write("".join(f"{c:<4d} " for c in point) + "\n")


def value(text, label):
    found = re.search(rf"^{re.escape(label)}: (\S+)", text, re.M)
    if not found:
        raise AssertionError(f"no '{label}' in:\n{text}")
    return found.group(1)


def main(psenv):
    rng = np.random.default_rng(20240611)
    failures = 0
    checked = 0
    with tempfile.TemporaryDirectory() as work:
        path = os.path.join(work, "drawn.sch")
        for grid in GRIDS:
            total = int(np.prod(grid))
            for share in (0.05, 0.3, 0.8):
                count = max(1, int(share * total))
                chosen = rng.choice(total, size=count, replace=False)
                # numpy's arrays run the last axis fastest, the grid's first
                # dimension fastest: the mask is indexed in reversed order.
                coords = np.array(np.unravel_index(chosen, grid[::-1])).T[:, ::-1]
                write_schedule(path, coords)
                mask = np.zeros(grid[::-1])
                mask[tuple(coords[:, ::-1].T)] = 1
                for exclude in range(4):
                    far, peak, outside, spectrum = expected(mask, exclude)
                    cmd = [psenv, "sched", "psf", path, "--ni", ",".join(map(str, grid)),
                           "--exclude", str(exclude)]
                    run = subprocess.run(cmd, capture_output=True, text=True)
                    if run.returncode == 2 and "not available" in run.stderr:
                        print("psenv has no point-spread functions: skipped")
                        return 77
                    where = f"grid {grid}, {count} points, W {exclude}"
                    if run.returncode != 0:
                        print(f"FAIL {where}: exit {run.returncode}: {run.stderr}")
                        failures += 1
                        continue
                    got_far = float(value(run.stdout, "far sidelobe"))
                    got_peak = float(value(run.stdout, "max sidelobe"))
                    at = [int(k) for k in value(run.stdout, "far sidelobe at").split(",")]
                    got_outside = int(re.search(r"\((\d+) frequencies outside",
                                                run.stdout).group(1))
                    at_value = spectrum[tuple(at[::-1])] if outside else 0.0
                    checks = [
                        ("far sidelobe", got_far, far),
                        ("max sidelobe", got_peak, peak),
                        ("magnitude at the far sidelobe's position", at_value, far),
                    ]
                    for what, got, want in checks:
                        if abs(got - want) > 1e-8 * max(want, 1e-12):
                            print(f"FAIL {where}: {what} {got!r}, numpy {want!r}")
                            failures += 1
                    if got_outside != outside:
                        print(f"FAIL {where}: {got_outside} frequencies outside, numpy {outside}")
                        failures += 1
                    checked += 1
    print(f"{checked} schedules and main lobes compared, {failures} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
