"""psenv.sched against `psenv sched`: the same schedules, files, findings,
figures and pictures for the same inputs."""

import os
import warnings

import numpy
import pytest

import psenv
from psenv import sched

needs_fft = pytest.mark.skipif(not sched.psf_available(), reason="built without FFTW3")


def cli_make(psenv_cli, tmp_path, ni, *options):
    dims = []
    for k, n in enumerate(ni):
        dims += [f"--ni{'' if k == 0 else k + 1}", n]
    psenv_cli("sched", "make", *dims, *options, "--dir", tmp_path)
    return (tmp_path / "sampling.sch").read_bytes()


@pytest.mark.parametrize("ni, options, kwargs", [
    ((64,), ["--method", "poisson-gap", "--points", 20, "--seed", 11], dict(points=20, seed=11)),
    ((40, 24), ["--method", "poisson-gap", "--density", 15, "--seed", -3, "--weight", "none"],
     dict(density=15, seed=-3, weight="none")),
    ((16, 8, 6), ["--method", "exponential", "--points", 90, "--decay", "5,3,2", "--seed", 2],
     dict(method="exponential", points=90, decay=(5, 3, 2), seed=2)),
    ((32, 24), ["--method", "poisson-gap", "--points", 120, "--sine-portion", "half", "--walk",
                "radial", "--order", "shuffled", "--head", 2, "--last", "--seed", 4],
     dict(points=120, sine_portion="half", walk="radial", order="shuffled", head=2, last=True,
          seed=4)),
    pytest.param((48,), ["--method", "poisson-gap", "--points", 16, "--best-of", 3, "--exclude", 1,
                         "--allow-periodic", "--seed", 9],
                 dict(points=16, best_of=3, exclude=1, allow_periodic=True, seed=9),
                 marks=needs_fft),
    ((128,), ["--density", 30, "--seed", 7], dict(method="uniform", density=30, seed=7)),
    ((12, 10), ["--density", 50, "--density2", 40, "--seed", -12],
     dict(method="uniform", density=(50, 40), seed=-12)),
])
def test_make_writes_the_rows_of_the_command_line(psenv_cli, tmp_path, ni, options, kwargs):
    expected = cli_make(psenv_cli, tmp_path, ni, *options)
    made = sched.make(ni if len(ni) > 1 else ni[0], **kwargs)
    assert made.dtype == numpy.int32 and made.shape[1] == len(ni)
    assert isinstance(made, numpy.ndarray) and made.ni == ni
    sched.write(tmp_path / "mine.sch", made)
    assert (tmp_path / "mine.sch").read_bytes() == expected
    numpy.testing.assert_array_equal(sched.read(tmp_path / "sampling.sch"), made)


def test_make_refuses_what_the_command_line_refuses():
    with pytest.raises(ValueError, match="points belongs to the other methods"):
        sched.make(64, method="uniform", density=20, points=5)
    with pytest.raises(ValueError, match="decay belongs to method exponential"):
        sched.make(64, points=5, decay=3)
    with pytest.raises(ValueError, match="weight belongs to method poisson-gap"):
        sched.make(64, method="exponential", points=5, decay=3, weight="none")
    with pytest.raises(ValueError, match="exactly one of points and density"):
        sched.make(64, points=5, density=10)
    with pytest.raises(ValueError, match="method must be uniform, poisson-gap or exponential"):
        sched.make(64, method="random", points=5)
    with pytest.raises(ValueError, match="points must be from 1 to the grid's 64 points"):
        sched.make(64, points=65)
    with pytest.raises(ValueError, match="takes grids of up to"):
        sched.make((8192, 8192), points=5)
    with pytest.raises(ValueError, match="sine_portion must be quarter, half or none"):
        sched.make(64, points=5, sine_portion="full")
    with pytest.raises(ValueError, match="give sine_portion or weight, not both"):
        sched.make(64, points=5, sine_portion="half", weight="none")
    with pytest.raises(ValueError, match="walk belongs to the other methods"):
        sched.make(64, method="uniform", density=20, walk="radial")
    assert sched.METHODS == ("uniform", "poisson-gap", "exponential")
    assert {"walk", "sine_portion", "best_of", "allow_periodic"} <= set(sched.OPTIONS)


def test_wrong_arguments_name_the_argument():
    for call, word in [
        (lambda: sched.make("64", points=3), "ni"),
        (lambda: sched.make((64, 0), points=3), "ni"),
        (lambda: sched.make(64, points=3.5), "points"),
        (lambda: sched.make(64, points=3, seed=2**31), "seed"),
        (lambda: sched.make(64, density=float("nan")), "density"),
        (lambda: sched.psf(numpy.zeros((3, 2), dtype=float), (4, 4)), "schedule"),
        (lambda: sched.psf(numpy.zeros((2, 2, 2), dtype=int), (4, 4)), "schedule"),
        (lambda: sched.svg([[0]], 4, kind="picture"), "kind"),
        (lambda: sched.write(42, [[0]]), "path"),
    ]:
        with pytest.raises((TypeError, ValueError), match=word):
            call()


def test_read_takes_what_the_module_takes_and_warns_like_the_tool(psenv_cli, tmp_path):
    path = tmp_path / "odd.sch"
    path.write_text("# planned by hand\n0 0\n3 1\n\n5\n2 x\n")
    shown = psenv_cli("sched", "show", path)
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        rows = sched.read(path)
    numpy.testing.assert_array_equal(rows, [[0, 0], [3, 1], [3, 1], [5, 1], [2, 1]])
    tool_warnings = [line.split("warning: ", 1)[1] for line in shown.stderr.splitlines()
                     if "warning: " in line]
    assert tool_warnings and [str(w.message) for w in caught] == tool_warnings
    assert all(issubclass(w.category, sched.ScheduleWarning) for w in caught)


def test_read_failures_are_exceptions(tmp_path):
    with pytest.raises(FileNotFoundError) as missing:
        sched.read(tmp_path / "none.sch")
    assert missing.value.filename == str(tmp_path / "none.sch")
    with pytest.raises(IsADirectoryError):
        sched.read(tmp_path)
    (tmp_path / "empty.sch").write_text("# nothing\n")
    with pytest.raises(ValueError, match="no data row"):
        sched.read(tmp_path / "empty.sch")


def test_check_finds_what_sched_check_finds(psenv_cli, tmp_path):
    path = tmp_path / "odd.sch"
    path.write_text("0 0\n3 1\n3 1\n9 2\n\n1\n")
    printed = psenv_cli("sched", "check", path, "--ni", "8,4", check=False)
    assert printed.returncode == 1
    problems = sched.check(path, (8, 4))
    assert len(problems) >= 3
    assert [f"{path}:{line}: {text}" for line, text in problems] == printed.stdout.splitlines()[:-1]
    assert len(sched.check(path)) < len(problems)  # entries outside the grid need the grid
    good = tmp_path / "good.sch"
    sched.write(good, sched.make((8, 4), points=6))
    assert sched.check(good, (8, 4)) == []


def test_write_is_atomic_and_keeps_the_old_file_on_failure(tmp_path):
    target = tmp_path / "s.sch"
    target.write_text("0\n")
    os.chmod(target, 0o640)
    sched.write(target, numpy.array([0, 12, 12345], dtype=numpy.int64))
    assert target.read_text() == "0    \n12   \n12345 \n"
    assert os.stat(target).st_mode & 0o777 == 0o640
    with pytest.raises(FileNotFoundError):
        sched.write(tmp_path / "no" / "s.sch", [[1]])
    assert sorted(os.listdir(tmp_path)) == ["s.sch"]


@needs_fft
def test_psf_is_the_transform_of_the_mask(tmp_path):
    ni = (24, 10)
    rows = sched.make(ni, points=60, seed=4)
    values = sched.psf(rows, ni)
    assert values.shape == ni and values.dtype == numpy.float64
    mask = numpy.zeros(ni)
    mask[rows[:, 0], rows[:, 1]] = 1
    spectrum = numpy.abs(numpy.fft.fftn(mask))
    numpy.testing.assert_allclose(values, spectrum / spectrum[0, 0], rtol=1e-5, atol=1e-6)
    side = values.copy()
    side[0, 0] = 0
    assert sched.max_sidelobe(rows, ni) == pytest.approx(side.max(), rel=1e-6)
    # A repeated row counts once.
    doubled = numpy.vstack([rows, rows[:5]])
    numpy.testing.assert_array_equal(sched.psf(doubled, ni), values)


@needs_fft
@pytest.mark.parametrize("ni", [(32,), (24, 16), (8, 6, 4)])
def test_figures_and_pictures_are_the_tools(psenv_cli, tmp_path, ni):
    cli_make(psenv_cli, tmp_path, ni, "--method", "poisson-gap", "--density", 30, "--seed", 9)
    path = tmp_path / "sampling.sch"
    grid = ",".join(map(str, ni))
    printed = psenv_cli("sched", "psf", path, "--ni", grid, "--svg", tmp_path / "psf.svg").stdout
    figures = sched.figures(path, ni)
    assert f"max sidelobe: {figures['max_sidelobe']:#.10g}" in printed
    assert f"sidelobe at: {','.join(map(str, figures['at']))}" in printed
    assert f"far sidelobe: {figures['far_sidelobe']:#.10g}" in printed
    assert f"far sidelobe at: {','.join(map(str, figures['far_at']))}" in printed
    for k, gap in enumerate(figures["largest_gap"]):
        assert f"largest gap, dimension {k + 1}: {gap}" in printed
    assert sched.svg(str(path), ni, kind="psf").encode() == (tmp_path / "psf.svg").read_bytes()
    psenv_cli("sched", "plot", path, "--ni", grid, "--svg", tmp_path / "plot.svg")
    assert sched.svg(str(path), ni).encode() == (tmp_path / "plot.svg").read_bytes()
    if len(ni) == 3:
        psenv_cli("sched", "plot", path, "--dims", "3,1", "--svg", tmp_path / "p31.svg")
        rows = sched.read(path)
        assert (sched.svg(rows, dims=(3, 1), name=str(path)).encode()
                == (tmp_path / "p31.svg").read_bytes())


@needs_fft
def test_the_psf_picture_takes_the_tools_options(psenv_cli, tmp_path):
    rows = sched.make((24, 16), points=80, seed=6)
    sched.write(tmp_path / "s.sch", rows)
    psenv_cli("sched", "psf", tmp_path / "s.sch", "--ni", "24,16", "--scale", "db:-40", "--sw1",
              5000, "--sw2", 3000, "--exclude", 3, "--svg", tmp_path / "psf.svg")
    drawn = sched.svg(str(tmp_path / "s.sch"), (24, 16), kind="psf", scale="db:-40",
                      sw=(5000, 3000), exclude=3)
    assert drawn.encode() == (tmp_path / "psf.svg").read_bytes()
    with pytest.raises(ValueError, match="scale must be"):
        sched.svg(rows, (24, 16), kind="psf", scale="log")


@needs_fft
def test_pictures_in_notebooks():
    made = sched.make((16, 16), points=40)
    assert made._repr_svg_().startswith("<?xml")
    assert "Sampling schedule</text>" in made._repr_svg_()
    assert made[:3]._repr_svg_() is None  # what is derived from it shows numbers
    picture = sched.show(made, (16, 16), kind="psf")
    assert picture._repr_svg_() == sched.svg(made, (16, 16), kind="psf")


def test_long_calls_let_other_threads_run():
    import threading
    import time

    ticks = []
    done = threading.Event()

    def count():
        while not done.is_set():
            ticks.append(time.perf_counter())
            time.sleep(0.001)

    counter = threading.Thread(target=count)
    counter.start()
    try:
        start = time.perf_counter()
        sched.make(400000, points=100000, seed=1)  # the generator runs for a while
        took = time.perf_counter() - start
    finally:
        done.set()
        counter.join()
    during = [t for t in ticks if start <= t <= start + took]
    # With the GIL held the whole time the counter would not have run at all.
    assert took < 0.05 or len(during) >= 5, (took, len(during))


def test_the_schedule_must_fit_the_grid():
    rows = numpy.array([[0, 0], [9, 1]])
    with pytest.raises(ValueError, match="2 columns but the grid 1 dimension"):
        sched.figures(rows, 8)
    if sched.psf_available():
        with pytest.raises(ValueError, match="outside"):
            sched.psf(rows, (8, 4))


def test_make_takes_the_planners_table_of_options_as_keywords(psenv_cli):
    import inspect
    keywords = [name for name, p in inspect.signature(sched.make).parameters.items()
                if p.kind is p.KEYWORD_ONLY]
    table = [name.replace("-", "_") for name in psenv._core.sched_planned_options()]
    assert sched.OPTIONS == tuple(table)
    assert set(keywords) - {"method", "density", "seed"} == set(table)
    # The same table is the command line's: each option is one of `sched make`'s.
    usage = psenv_cli("sched", "make", "--help").stdout
    for name in psenv._core.sched_planned_options():
        assert f"--{name}" in usage, name


@pytest.mark.parametrize("options, kwargs", [
    (["--walk", "spiral"], dict(walk="spiral")),
    (["--order", "random"], dict(order="random")),
    (["--decay", "3"], dict(decay=3)),
    (["--best-of", "0"], dict(best_of=0)),
    (["--sine-portion", "half", "--weight", "none"], dict(sine_portion="half", weight="none")),
])
def test_make_refuses_what_the_command_line_refuses_in_its_words(psenv_cli, tmp_path, options,
                                                                 kwargs):
    refused = psenv_cli("sched", "make", "--ni", 64, "--method", "poisson-gap", "--points", 5,
                        *options, "--dir", tmp_path, check=False)
    assert refused.returncode == 2
    said = refused.stderr.splitlines()[0].removeprefix("psenv: ")
    for option in ("--walk", "--order", "--decay", "--best-of", "--sine-portion", "--weight",
                   "--method "):
        said = said.replace(option, option[2:].replace("-", "_"))
    with pytest.raises(ValueError) as caught:
        sched.make(64, points=5, **kwargs)
    assert str(caught.value) == said


def test_read_counts_the_warnings_past_twenty_like_the_tool(psenv_cli, tmp_path):
    path = tmp_path / "long.sch"
    path.write_text("0\n" + "1\n" * 25)
    shown = psenv_cli("sched", "show", path)
    tool_warnings = [line.split("warning: ", 1)[1] for line in shown.stderr.splitlines()
                     if "warning: " in line]
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        sched.read(path)
    assert len(tool_warnings) == 21 and "more problems" in tool_warnings[-1]
    assert [str(w.message) for w in caught] == tool_warnings
