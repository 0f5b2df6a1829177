#!/usr/bin/env python3
"""Plan a 2D non-uniform sampling schedule the way a notebook would: make a
Poisson-gap schedule, judge it by its point-spread function against two
other methods at about the same number of points, write the chosen one as
a schedule file, and save a figure of all three.

    PYTHONPATH=build/default/python python3 examples/python/plan_nus.py [FIGURE.png]

The figure needs matplotlib (Debian: python3-matplotlib); without it the
script still plans, compares and writes the schedule file.
"""

import math
import sys

import numpy

import psenv

NI = (64, 48)       # increments of the two indirect dimensions
DENSITY = 20.0      # percent of the grid to sample
SEED = 2024


def plan():
    """Three schedules of about DENSITY percent of the grid."""
    per_dimension = 100.0 * math.sqrt(DENSITY / 100.0)  # the module's own: a share per dimension
    return {
        "poisson-gap": psenv.sched.make(NI, method="poisson-gap", density=DENSITY, seed=SEED),
        "exponential": psenv.sched.make(NI, method="exponential", density=DENSITY,
                                        decay=(NI[0] / 3, NI[1] / 3), seed=SEED),
        "uniform": psenv.sched.make(NI, method="uniform", density=per_dimension, seed=SEED),
    }


def judge(schedules):
    """The figures `psenv sched psf` prints, per method."""
    print(f"grid {NI[0]} x {NI[1]} = {NI[0] * NI[1]} points")
    print(f"{'method':<12} {'points':>6} {'max sidelobe':>13} {'PSR (dB)':>9} {'largest gaps':>13}")
    for method, rows in schedules.items():
        f = psenv.sched.figures(rows, NI)
        gaps = ",".join(map(str, f["largest_gap"]))
        print(f"{method:<12} {f['points']:>6} {f['max_sidelobe']:>13.4f} "
              f"{f['peak_to_sidelobe_db']:>9.2f} {gaps:>13}")


def draw(schedules, figure_path):
    try:
        import matplotlib
        matplotlib.use("Agg")
        import matplotlib.pyplot as plt
    except ImportError:
        print("matplotlib is not installed: no figure (Debian: python3-matplotlib)")
        return
    fig, axes = plt.subplots(2, len(schedules), figsize=(4.2 * len(schedules), 7.5))
    for column, (method, rows) in enumerate(schedules.items()):
        top, bottom = axes[0][column], axes[1][column]
        top.scatter(rows[:, 0], rows[:, 1], s=4, color="#1f4e9c")
        top.set_xlim(-1, NI[0])
        top.set_ylim(-1, NI[1])
        top.set_title(f"{method}: {len(rows)} points")
        top.set_xlabel("t1 increment")
        top.set_ylabel("t2 increment")
        # psf[k1, k2] with the zero frequency at [0, 0]: fftshift centres it;
        # the peak is left out of the colour scale so the sidelobes show.
        psf = numpy.fft.fftshift(psenv.sched.psf(rows, NI))
        side = psf.copy()
        side[NI[0] // 2, NI[1] // 2] = 0
        image = bottom.imshow(psf.T, origin="lower", vmax=side.max(), cmap="viridis",
                              extent=(-NI[0] // 2 - 0.5, NI[0] - NI[0] // 2 - 0.5,
                                      -NI[1] // 2 - 0.5, NI[1] - NI[1] // 2 - 0.5))
        bottom.set_title(f"PSF, max sidelobe {psenv.sched.max_sidelobe(rows, NI):.3f}")
        bottom.set_xlabel("frequency index, dimension 1")
        bottom.set_ylabel("frequency index, dimension 2")
        fig.colorbar(image, ax=bottom, shrink=0.8)
    fig.tight_layout()
    fig.savefig(figure_path, dpi=110)
    print(f"figure: {figure_path}")


def main():
    figure_path = sys.argv[1] if len(sys.argv) > 1 else "plan_nus.png"
    schedules = plan()
    judge(schedules)
    psenv.sched.write("sampling.sch", schedules["poisson-gap"])
    print("schedule file: sampling.sch (poisson-gap); check it with: "
          f"psenv sched psf sampling.sch --ni {NI[0]},{NI[1]}")
    draw(schedules, figure_path)


if __name__ == "__main__":
    main()
