"""psenv.params against `psenv par`: the same values, refusals, saved bytes,
findings and differences for the same files and changes."""

import collections.abc
import os
import shutil
import threading

import pytest

import psenv
from psenv import params


def twin(path):
    """A copy of `path` for the command line to change."""
    other = path.with_name("cli_" + path.name)
    shutil.copyfile(path, other)
    return other


def test_load_gives_the_files_parameters_in_its_order(sample, psenv_cli):
    ps = params.load(sample)
    assert isinstance(ps, collections.abc.MutableMapping)
    names = psenv_cli("par", "names", sample).stdout.split()
    assert list(ps) == names and len(ps) == len(names)
    for name in names:
        got = psenv_cli("par", "get", sample, name).stdout
        p = ps[name]
        shown = [f"{v:.12g}" for v in p.values] if p.type == "real" else list(p.values)
        assert "".join(v + "\n" for v in shown) == got, name
    sw = ps["sw"]
    assert (sw.type, sw.max, sw.min, sw.size, sw.active) == ("real", 1000000.0, 100.0, 1, True)
    assert float(sw) == sw.value and str(ps["tn"]) == "H1"
    assert ps["tn"].enum == ("H1", "C13", "N15", "P31", "F19")
    assert ps.get("nothere") is None and "sw" in ps and 42 not in ps
    with pytest.raises(AttributeError):
        sw.value = 3


@pytest.mark.parametrize("name, value, cli_values", [
    ("sw", 8000, ["8000"]),
    ("sw", 1234.56789012345, ["1234.56789012345"]),
    ("tn", "C13", ["C13"]),
    ("d1", [0.5, 1.0, 1.5], ["0.5", "1", "1.5"]),
])
def test_a_set_saves_the_bytes_par_set_writes(sample, psenv_cli, name, value, cli_values):
    other = twin(sample)
    psenv_cli("par", "set", other, name, *cli_values)
    ps = params.load(sample)
    ps[name] = value
    assert ps.modified
    ps.save()
    assert sample.read_bytes() == other.read_bytes()
    assert not ps.modified and ps[name].values == params.load(other)[name].values


def test_several_changes_save_what_par_set_writes_one_after_another(sample, psenv_cli):
    other = twin(sample)
    psenv_cli("par", "set", other, "sw", "5000")
    psenv_cli("par", "set", other, "newp", "1", "2", "--min", "0", "--max", "5", "--group", "3")
    psenv_cli("par", "set", other, "zzz", "hello", "world")
    psenv_cli("par", "set", other, "aaa", "3", "--prot", "0x1")
    ps = params.load(sample)
    ps["sw"] = 4000
    made = ps.create("newp", "real", [1, 2], min=0, max=5, group=3)
    assert (made.values, made.max, made.group) == ((1.0, 2.0), 5.0, 3)
    ps.create("zzz", "string", ["hello", "world"])
    ps["sw"] = 5000
    ps.create("aaa", "real", 3, prot=1)
    ps.save()
    assert sample.read_bytes() == other.read_bytes()


def test_refusals_are_those_of_par_set_and_change_nothing(sample, psenv_cli):
    ps = params.load(sample)
    before = {name: ps[name] for name in ps}
    for name, value, cli_value in [
        ("sw", 2e6, "2000000"),            # upper limit
        ("sw", 50, "50"),                  # lower limit
        ("tn", "Xe", "Xe"),                # enumeration
        ("Console", "quilmar", "quilmar"),  # write protection
        ("sw", float("inf"), "inf"),       # not a finite number
        ("sw", "fast", "fast"),            # a real parameter takes numbers
        ("seqfil", "x" * 1023, "x" * 1023),  # longer than a file reads back
    ]:
        refused = psenv_cli("par", "set", twin(sample), name, cli_value, check=False)
        assert refused.returncode == 1
        with pytest.raises(ValueError) as caught:
            ps[name] = value
        assert "psenv: " + str(caught.value) == refused.stderr.splitlines()[0], name
    assert {name: ps[name] for name in ps} == before and not ps.modified
    with pytest.raises(KeyError, match="create"):
        ps["nothere"] = 1
    with pytest.raises(TypeError, match="all numbers"):
        ps["d1"] = [1, "2"]
    with pytest.raises(ValueError, match="Wrong type"):
        ps.create("newp", "string", 5)
    with pytest.raises(ValueError, match="names beginning with \\$"):
        ps.create("$x", "real", 1)
    with pytest.raises(ValueError, match="holds this parameter"):
        ps.create("sw", "real", 1)


def test_removal_and_saving_elsewhere(sample, tmp_path):
    ps = params.load(sample)
    del ps["tn"]
    assert "tn" not in ps
    with pytest.raises(KeyError):
        del ps["tn"]
    ps.save(tmp_path / "new.par")
    assert "tn" not in params.load(tmp_path / "new.par")
    assert ps.modified and "tn" in params.load(sample)  # the set's own file is untouched
    ps.save()
    assert "tn" not in params.load(sample)


def test_damaged_and_unreadable_files(sample, psenv_cli, tmp_path):
    damaged = tmp_path / "cut.par"
    damaged.write_bytes(sample.read_bytes()[:300])
    printed = psenv_cli("par", "check", damaged, check=False)
    with pytest.raises(psenv.DamagedFile) as caught:
        params.load(damaged)
    assert isinstance(caught.value, ValueError)
    lines = [f"psenv: {damaged}:{line}: {text}" for line, text in caught.value.problems]
    assert lines == printed.stderr.splitlines() and lines
    assert params.check(damaged) == caught.value.problems
    assert params.check(sample) == []
    with pytest.raises(FileNotFoundError) as missing:
        params.load(tmp_path / "none.par")
    assert missing.value.filename == str(tmp_path / "none.par")
    with pytest.raises(IsADirectoryError):
        params.check(tmp_path)


def test_save_refusals_leave_the_file_as_it_was(sample, tmp_path):
    ps = params.load(sample)
    ps["sw"] = 9000
    original = sample.read_bytes()
    os.chmod(sample, 0o444)  # no write bit: refused even for root
    with pytest.raises(params.SaveRefused, match="force=True"):
        ps.save()
    assert sample.read_bytes() == original
    os.chmod(sample, 0o644)
    other = params.load(sample)
    other["sw"] = 7000
    other.save()
    with pytest.raises(params.SaveRefused, match="changed since it was loaded"):
        ps.save()
    assert params.load(sample)["sw"].value == 7000
    os.link(sample, tmp_path / "link.par")
    with pytest.raises(params.SaveRefused, match="hard links"):
        other.save(tmp_path / "link.par")
    other.save(tmp_path / "link.par", force=True)


def test_diff_judges_as_par_diff(sample, psenv_cli):
    other = twin(sample)
    psenv_cli("par", "set", other, "sw", "7000")
    psenv_cli("par", "set", other, "extra", "1")
    ps = params.load(sample)
    del ps["tn"]
    found = params.diff(ps, other)
    assert found == [("extra", None, (1.0,)), ("sw", (6410.25641026,), (7000.0,)),
                     ("tn", None, ("H1",))]
    printed = psenv_cli("par", "diff", sample, other, check=False).stdout
    assert [line.split()[1] for line in printed.splitlines()] == ["extra", "sw"]
    assert params.diff(sample, str(sample)) == []


def test_nothing_is_printed_behind_the_users_back(sample, tmp_path, capfd):
    """What the tool prints becomes warnings and exception texts."""
    text = sample.read_text()
    repeated = tmp_path / "repeated.par"
    repeated.write_text(text + text[:text.index("pslabel")])  # seqfil once more
    indirect = tmp_path / "indirect.par"
    indirect.write_text("lim 0 1 3 1 0 0 0 8192 1 64\n1 1 \n0 \n")  # limits in parmin/parmax
    with pytest.warns(UserWarning) as caught:
        ps = params.load(repeated)
        other = params.load(indirect)
        other["lim"] = 5
    texts = [str(w.message) for w in caught]
    assert any("seqfil" in t and "repeat" in t for t in texts), texts
    assert any("limits not checked" in t for t in texts), texts
    with pytest.raises(params.SaveRefused, match="repeated name"):
        ps.save()
    (tmp_path / "cut.par").write_text("x 0 1")
    with pytest.raises(psenv.DamagedFile):
        params.load(tmp_path / "cut.par")
    assert capfd.readouterr() == ("", "")


def test_threads_share_the_store_safely(sample):
    errors = []

    def work(k):
        try:
            for _ in range(20):
                ps = params.load(sample)
                ps["sw"] = 1000 + k
                assert ps["sw"].value == 1000 + k
        except Exception as error:  # noqa: BLE001
            errors.append(error)

    threads = [threading.Thread(target=work, args=(k,)) for k in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert errors == []
