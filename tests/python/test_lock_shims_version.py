"""psenv.lock, psenv.shims and psenv.__version__ against `psenv lock`,
`psenv shims` and `psenv --version`."""

import pytest

import psenv


def test_version_is_the_projects(psenv_cli):
    assert psenv_cli("--version").stdout == f"psenv {psenv.__version__}\n"


@pytest.mark.parametrize("shim_set", [1, 9, 11, 12, 20])
def test_shim_names_are_those_of_shims_list(psenv_cli, shim_set):
    listed = psenv_cli("shims", "list", "--set", shim_set).stdout.splitlines()
    names = psenv.shims.names(shim_set)
    assert [f"{index}\t{name}" for index, name in names.items()] == listed
    assert psenv.shims.count(shim_set) == int(psenv_cli("shims", "count", "--set", shim_set).stdout)


def test_shim_index_and_refused_sets():
    assert psenv.shims.index(12, "x4") == 14 and psenv.shims.index(9, "x4") == 44
    assert psenv.shims.index(1, "x4") is None
    for wrong, error in [(0, ValueError), (21, ValueError), ("5", TypeError), (True, TypeError)]:
        with pytest.raises(error, match="set"):
            psenv.shims.names(wrong)


@pytest.fixture
def systemdir(tmp_path):
    tables = tmp_path / "nuctables"
    tables.mkdir()
    (tables / "lockfreqtab").write_text("# key synthif sense lockref\n400 10.0 + 50.0\n")
    return str(tmp_path)


def test_lock_answers_are_the_tools(psenv_cli, systemdir):
    for key, lockfreq, console in [(400, 61.4, "ardel"), (200, 30.7, "quilmar"),
                                   (300, 46.05, "quilmar")]:
        printed = psenv_cli("lock", "word", "--key", key, "--lockfreq", lockfreq, "--console",
                            console, "--systemdir", systemdir).stdout
        assert psenv.lock.word(key, lockfreq, console, systemdir=systemdir) == int(printed)
    word = psenv.lock.word(400, 61.4, "ardel", systemdir)
    printed = psenv_cli("lock", "freq", "--key", 400, "--word", word, "--console", "ardel",
                        "--systemdir", systemdir).stdout
    assert repr(psenv.lock.freq(400, word, "ardel", systemdir)) == printed.strip()
    printed = psenv_cli("lock", "offset", "--key", 400, "--lockfreq", 61.4, "--systemdir",
                        systemdir).stdout
    assert repr(psenv.lock.offset(400, 61.4, systemdir)) == printed.strip()


def test_lock_failures(systemdir, tmp_path):
    with pytest.raises(ValueError, match="no row for key 500"):
        psenv.lock.word(500, 61.4, "ardel", systemdir)
    broken = tmp_path / "broken" / "nuctables"
    broken.mkdir(parents=True)
    (broken / "lockfreqtab").write_text("300 x\n400 10.0 + 50.0\n")
    with pytest.raises(ValueError, match="Error in lockfreqtab file"):
        psenv.lock.offset(400, 61.4, str(broken.parent))
    with pytest.raises(FileNotFoundError) as missing:
        psenv.lock.word(400, 61.4, "ardel", str(tmp_path / "none"))
    assert missing.value.filename.endswith("none/nuctables/lockfreqtab")
    with pytest.raises(ValueError, match="console must be"):
        psenv.lock.word(400, 61.4, "Ardel", systemdir)
    with pytest.raises(ValueError, match="needs an ardel console"):
        psenv.lock.freq(400, 5, "quilmar", systemdir)
    with pytest.raises(ValueError, match="outside the 32-bit range"):
        psenv.lock.word(200, 1e6, "quilmar")
    with pytest.raises(ValueError, match="lockfreq must be a finite number"):
        psenv.lock.word(200, float("nan"), "quilmar")
