"""Sparse sampling schedules: make, read, write and check them, and judge
them by their point-spread function -- the sampling module and its planner,
as ``psenv sched`` uses them.

A schedule is a numpy array of dtype int32 and shape (K, D): one row per
sampled grid point, one column per dimension, each entry an increment
index from 0 to ni - 1 (0-based, dimension 1 first), in the order the
schedule file lists them.  ``ni`` is the grid: an int (one dimension) or a
sequence of D increment counts.

Functions that take a schedule also take the path of a schedule file
(str or os.PathLike), which is then read with :func:`read`.
"""

import os
import warnings

import numpy

from . import _args, _core

__all__ = [
    "METHODS", "OPTIONS", "Picture", "Schedule", "ScheduleWarning", "check", "figures", "make",
    "max_sidelobe", "psf", "psf_available", "read", "show", "svg", "write",
]

#: The generators, the sampling module's own first (``psenv sched make --method``).
METHODS = ("uniform", "poisson-gap", "exponential")
#: The options only the planner's methods take, from the planner's table
#: of options: ``psenv sched make``'s ``--points``, ``--sine-portion`` ...
#: as keyword arguments of :func:`make` (``sine_portion``); the module's own
#: generator refuses them.
OPTIONS = tuple(name.replace("-", "_") for name in _core.sched_planned_options())
#: The main lobe's half-width W of the far sidelobe unless told otherwise.
DEFAULT_EXCLUDE = _core.sched_default_exclude


class ScheduleWarning(UserWarning):
    """A schedule file reads only because the module's reader is lenient
    (blank lines, short or long rows, text that is no integer, repeated
    rows): what ``psenv sched show|plot|psf`` print as warnings."""


class Schedule(numpy.ndarray):
    """The array :func:`make` and :func:`read` return: a plain int32 ndarray
    of shape (K, D) that also knows its grid (``ni``, a tuple, or None) and
    shows its picture in a notebook (``_repr_svg_``).  Arrays derived from
    it (slices, arithmetic) keep the type but show no picture."""

    def __array_finalize__(self, obj):
        self.ni = getattr(obj, "ni", None)
        self._picture = False

    def _repr_svg_(self):
        if not self._picture or self.ndim != 2 or self.shape[0] == 0:
            return None
        return svg(self, self.ni)


class Picture:
    """An SVG picture (:func:`show`): ``svg`` is its text; a notebook shows
    it; :meth:`save` writes it."""

    def __init__(self, text):
        self.svg = text

    def _repr_svg_(self):
        return self.svg

    def save(self, path):
        """Writes the picture to the file ``path`` (UTF-8), the bytes the
        tool's ``--svg`` writes."""
        with open(_args.path("path", path), "w", encoding="utf-8", newline="") as out:
            out.write(self.svg)

    def __repr__(self):
        return f"<psenv.sched.Picture, {len(self.svg)} characters of SVG>"


def _schedule(array, ni):
    made = numpy.asarray(array).view(Schedule)
    made.ni = ni
    made._picture = True
    return made


def _ni(ni, name="ni"):
    if isinstance(ni, (list, tuple, numpy.ndarray)):
        values = list(ni)
        if not 1 <= len(values) <= 10:
            raise ValueError(f"{name} must give 1 to 10 dimensions, not {len(values)}")
    else:
        values = [ni]
    return tuple(_args.whole(name, value, 1, 2**31 - 1) for value in values)


def _reals(name, value):
    if isinstance(value, (list, tuple, numpy.ndarray)):
        values = list(value)
        if not values:
            raise ValueError(f"{name} must not be empty")
        return [_args.real(name, v) for v in values]
    return [_args.real(name, value)]


def _rows(name, schedule):
    """A schedule as the C-contiguous int32 array of shape (K, D) the
    library takes, without a Python object per entry."""
    if isinstance(schedule, (str, bytes, os.PathLike)):
        raise TypeError(f"{name} must be an array here, not a path")
    array = numpy.asarray(schedule)
    if array.dtype.kind not in "iu":
        if array.dtype.kind == "O" or array.size != 0:
            raise TypeError(f"{name} must hold integers, not {array.dtype}")
    if array.ndim == 1:
        array = array.reshape(-1, 1)
    if array.ndim != 2:
        raise ValueError(f"{name} must have shape (rows, dimensions), not {array.shape}")
    if not 1 <= array.shape[1] <= 10:
        raise ValueError(f"{name} must have 1 to 10 columns, not {array.shape[1]}")
    if array.size and array.dtype != numpy.int32 and (
            array.min() < -2**31 or array.max() > 2**31 - 1):
        raise ValueError(f"{name} holds entries beyond the 32-bit range")
    return numpy.ascontiguousarray(array, dtype=numpy.int32)


def _given(schedule, name):
    """The rows of a schedule given as an array or a file, and the name a
    picture shows (the path as given for a file)."""
    if isinstance(schedule, (str, bytes, os.PathLike)):
        path = _args.path("schedule", schedule)
        return _rows("schedule", read(path)), path if name is None else name
    return _rows("schedule", schedule), "" if name is None else name


def _positional(value):
    """A positive real as the command line writes it: no exponent, no sign."""
    return numpy.format_float_positional(value, trim="-")


def make(ni, *, method="poisson-gap", points=None, density=None, seed=0, decay=None,
         weight="sine", sine_portion=None, walk=None, order=None, head=None, last=False,
         best_of=None, exclude=None, allow_periodic=False):
    """A new schedule: the same rows in the same order as
    ``psenv sched make`` writes for the same arguments (``--ni``, ``--method``,
    ``--points``, ``--density``, ``--seed`` and the planner's options below,
    ``--sine-portion`` written ``sine_portion``).

    ni       the grid: an int, or a sequence of 1 to 10 increment counts
    method   one of :data:`METHODS`:
             ``"uniform"``: the sampling module's own generator (random
             points of the whole grid; a negative seed lists them in drawing
             order); ``density`` is a percentage per dimension (one value
             for all, or one per dimension) and every ni must be at least 2;
             ``"poisson-gap"``: gaps drawn from a Poisson distribution whose
             mean follows a sine (dense near the origin);
             ``"exponential"``: random points weighted by an exponential
             decay along each dimension
    points   the planner's methods: exactly this many rows
    density  with those methods, instead of ``points``: a percentage of the
             whole grid (exactly one of the two)
    seed     a 32-bit whole number; the same seed gives the same schedule

    The planner's options (:data:`OPTIONS`), read by the planner's one
    table of options, as ``psenv sched make`` reads them:

    decay           exponential: the decay in increments, one value or one
                    per dimension
    sine_portion    poisson-gap: ``"quarter"`` (default), ``"half"`` or ``"none"``
    weight          poisson-gap, the older spelling: ``"sine"`` (the quarter
                    sine, default) or ``"none"``
    walk            poisson-gap: ``"threads"``, ``"radial"`` or ``"line"``
                    (default: threads on grids of two or more dimensions)
    order           ``"grid"`` (default) or ``"shuffled"``
    head            sample every point whose increments all lie below it
    last            sample the grid's last point too (bool)
    best_of         make this many schedules (seeds seed, seed + 1, ...) and
                    keep the one with the lowest far sidelobe
    exclude         the main lobe's half-width W of that far sidelobe
    allow_periodic  keep a schedule whose points all lie on a sub-lattice (bool)

    Options a method does not take are refused as the command line refuses
    them, in its words with the keyword names.  Returns a :class:`Schedule`
    (an int32 ndarray of shape (K, len(ni))), filled in C++ with the GIL
    released.  Raises ValueError for refused arguments, RuntimeError for
    ``best_of`` without FFTW3 and MemoryError when memory runs out.
    """
    grid = _ni(ni)
    method = _args.text("method", method)
    if points is not None:
        points = _args.whole("points", points, 1, 2**63 - 1)
    if density is not None:
        density = _reals("density", density)
        for value in density:
            if not 0 < value <= 100:
                raise ValueError(f"density must be a percentage above 0 and at most 100, not {value}")
    seed = _args.whole("seed", seed, -2**31, 2**31 - 1)
    options = []
    if decay is not None:
        decays = _reals("decay", decay)
        if any(d <= 0 for d in decays):
            raise ValueError("decay must be above 0")
        options.append(("decay", ",".join(_positional(d) for d in decays)))
    weight = _args.text("weight", weight)
    if weight != "sine":
        options.append(("weight", weight))
    for name, value in (("sine-portion", sine_portion), ("walk", walk), ("order", order)):
        if value is not None:
            options.append((name, _args.text(name.replace("-", "_"), value)))
    for name, value in (("head", head), ("best-of", best_of), ("exclude", exclude)):
        if value is not None:
            options.append((name, str(_args.whole(name.replace("-", "_"), value, 0, 2**31 - 1))))
    for name, value in (("last", last), ("allow-periodic", allow_periodic)):
        if not isinstance(value, bool):
            raise TypeError(f"{name.replace('-', '_')} must be True or False, not {type(value).__name__}")
        if value:
            options.append((name, ""))
    rows = _core.sched_make(list(grid), method, points, density, seed, options)
    return _schedule(rows, grid)


def read(path):
    """The schedule file ``path`` as the sampling module's reader takes it
    (comments skipped, a blank line repeats the row before it, ...), as a
    :class:`Schedule`.  Rows that read only because the reader is lenient
    are reported first as :class:`ScheduleWarning` warnings, one per
    problem ("LINE: text").  Raises OSError when the file cannot be read and
    ValueError when it holds no schedule (no data row, more than 10
    columns)."""
    path = _args.path("path", path)
    rows, problems = _core.sched_read(path)
    for problem in problems:
        warnings.warn(problem, ScheduleWarning, stacklevel=2)
    return _schedule(rows, None)


def write(path, schedule):
    """Writes ``schedule`` (an integer array of shape (K, D), or a 1-D array
    for one dimension) to the schedule file ``path`` with the one writer of
    the format (every entry as "%-4d ", a line per row), atomically: a new
    file beside it, renamed over it, with the old file's owner and mode.
    Raises OSError on failure (the file is then as it was)."""
    path = _args.path("path", path)
    _core.sched_write(path, _rows("schedule", schedule))


def check(path, ni=None):
    """The strict reading of the schedule file ``path`` (``psenv sched
    check``): a list of ``(line, text)`` problems, empty when the file reads
    as written.  With the grid ``ni``, entries outside it and a column count
    unlike its dimensions count too.  Raises OSError when the file cannot be
    read."""
    path = _args.path("path", path)
    grid = None if ni is None else list(_ni(ni))
    problems, _rows_read, _columns = _core.sched_check(path, grid)
    return problems


def psf_available():
    """Whether this build computes point-spread functions (the library was
    built with FFTW3); without it :func:`psf` and friends raise RuntimeError."""
    return _core.sched_psf_available()


def _exclude(exclude):
    return DEFAULT_EXCLUDE if exclude is None else _args.whole("exclude", exclude, 0, 2**31 - 1)


def psf(schedule, ni):
    """The point-spread function of ``schedule`` on the grid ``ni``:
    |F(k)| / |F(0)|, float64, where F is the discrete Fourier transform of
    the 0/1 sampling mask over the whole grid (exactly ni points per
    dimension, no padding; rows that repeat a point count once).

    The array has shape ``ni`` (Fortran order): ``psf[k0, k1, ...]`` with
    k_j the frequency index of dimension j from 0 to ni_j - 1, the zero
    frequency at index 0 as numpy.fft lays it out --
    ``numpy.fft.fftshift(psf)`` centres it.  ``psf[(0,) * D]`` is 1."""
    grid = _ni(ni)
    rows, _ = _given(schedule, None)
    values, _figures = _core.sched_psf(rows, list(grid), DEFAULT_EXCLUDE)
    return values


def figures(schedule, ni, *, exclude=None):
    """The figures ``psenv sched psf`` prints, as a dict: ``points``
    (sampled grid points), ``grid`` (grid points), ``max_sidelobe``, ``at``
    (a frequency per dimension, 0 .. ni-1, where it occurs),
    ``peak_to_sidelobe_db``; the far sidelobe outside the main lobe
    |k| <= ``exclude`` (default :data:`DEFAULT_EXCLUDE`, ``--exclude``):
    ``far_sidelobe``, ``far_at``, ``far_peak_to_sidelobe_db``, ``exclude``,
    ``outside`` (frequencies outside the main lobe), ``shoulder`` (the max
    sidelobe lies inside the main lobe); and ``largest_gap`` per dimension."""
    grid = _ni(ni)
    rows, _ = _given(schedule, None)
    return _core.sched_figures(rows, list(grid), _exclude(exclude))


def max_sidelobe(schedule, ni):
    """max over k != 0 of |F(k)| / |F(0)|: the figure ``psenv sched psf``
    prints as "max sidelobe" (there with 10 significant digits)."""
    return figures(schedule, ni)["max_sidelobe"]


def svg(schedule, ni=None, kind="schedule", *, name=None, dims=(1, 2), exclude=None, scale=None,
        sw=None):
    """The picture the tool draws, as SVG text (the same bytes, UTF-8).

    kind="schedule"  ``psenv sched plot``: one dimension a strip, two the
                     grid, more the projection on ``dims`` (1-based) with a
                     histogram per dimension; axes run to ni - 1 when ``ni``
                     is given, else to the largest entry
    kind="psf"       ``psenv sched psf --svg`` (``ni`` needed): |F| as a line
                     (one dimension) or a heat map (two or more), the main
                     lobe outlined (``exclude``, ``--exclude``), the max and
                     the far sidelobe marked; ``scale`` as ``--scale``
                     (``"fixed:X"`` or ``"db:F"``, default automatic), ``sw``
                     the spectral width of each dimension in Hz (``--swJ``;
                     the axes then show Hz)

    ``name`` is the schedule's name in the title; for a file it defaults to
    the path as given (as the tool shows it), for an array to none."""
    kind = _args.text("kind", kind)
    if kind not in ("schedule", "psf"):
        raise ValueError(f"kind must be 'schedule' or 'psf', not {kind!r}")
    if name is not None:
        name = _args.text("name", name)
    rows, title = _given(schedule, name)
    if kind == "psf":
        if ni is None:
            raise ValueError("kind 'psf' needs the grid ni")
        grid = _ni(ni)
        widths = [] if sw is None else _reals("sw", sw)
        if any(w <= 0 for w in widths):
            raise ValueError("sw must be above 0")
        if len(widths) == 1 and len(grid) > 1:
            raise ValueError("sw needs one spectral width per dimension")
        return _core.sched_psf_svg(rows, list(grid), title, _exclude(exclude),
                                   "" if scale is None else _args.text("scale", scale), widths)
    grid = None if ni is None else list(_ni(ni))
    if not isinstance(dims, (list, tuple)) or len(dims) != 2:
        raise TypeError("dims must be a pair of dimensions (1-based), as (1, 2)")
    a, b = (_args.whole("dims", d, 1, 10) for d in dims)
    return _core.sched_schedule_svg(rows, grid, title, a - 1, b - 1)


def show(schedule, ni=None, kind="schedule", **options):
    """:func:`svg` as a :class:`Picture`, which a notebook shows as it
    stands and :meth:`Picture.save` writes to a file."""
    return Picture(svg(schedule, ni, kind, **options))
