"""A user's scripts against an installation made by `cmake --install`:
the code of docs/python.md, run as one script, and the example
examples/python/plan_nus.py, with nothing of the build tree on the path."""

import os
import re
import shutil
import subprocess
import sys

import pytest


@pytest.fixture(scope="module")
def installed(tmp_path_factory):
    build = os.environ.get("PSENV_BUILD_DIR")
    cmake = os.environ.get("CMAKE_COMMAND")
    site = os.environ.get("PSENV_PYTHON_INSTALL_DIR")
    if not (build and cmake and site):
        pytest.skip("run through ctest: the build folder is needed")
    prefix = tmp_path_factory.mktemp("prefix")
    for component in ("Runtime", "Python"):
        subprocess.run([cmake, "--install", build, "--prefix", str(prefix), "--component",
                        component], check=True, capture_output=True)
    return str(prefix / site)


def run_installed(installed, cwd, *args):
    environment = {k: v for k, v in os.environ.items() if k not in ("PYTHONPATH", "PSENV_SYSTEMDIR")}
    environment.update(PYTHONPATH=installed, MPLBACKEND="Agg")
    return subprocess.run([sys.executable, *args], cwd=cwd, env=environment,
                          capture_output=True, text=True)


def test_the_documented_code_runs_against_the_installation(installed, source_dir, tmp_path):
    with open(os.path.join(source_dir, "docs", "python.md"), encoding="utf-8") as f:
        blocks = re.findall(r"```python\n(.*?)```", f.read(), re.S)
    assert len(blocks) >= 8
    script = tmp_path / "from_the_docs.py"
    script.write_text("import psenv\nprint('module:', psenv.__file__)\n" + "\n".join(blocks))
    shutil.copyfile(os.path.join(source_dir, "examples", "params", "sample.par"),
                    tmp_path / "sample.par")
    done = run_installed(installed, tmp_path, str(script))
    assert done.returncode == 0, done.stderr
    assert f"module: {installed}" in done.stdout
    assert "sw: Value exceeds upper limit (2000000 > 1000000)" in done.stdout
    assert (tmp_path / "schedule.svg").read_text().startswith("<?xml")


def test_the_example_plans_what_the_command_line_plans(installed, source_dir, tmp_path, psenv_cli):
    done = run_installed(installed, tmp_path,
                         os.path.join(source_dir, "examples", "python", "plan_nus.py"), "nus.png")
    assert done.returncode == 0, done.stderr
    assert re.search(r"^poisson-gap +614 ", done.stdout, re.M)
    (tmp_path / "cli").mkdir()
    psenv_cli("sched", "make", "--method", "poisson-gap", "--ni", 64, "--ni2", 48,
              "--density", 20, "--seed", 2024, "--dir", tmp_path / "cli")
    assert (tmp_path / "sampling.sch").read_bytes() == (tmp_path / "cli" / "sampling.sch").read_bytes()
    try:
        import matplotlib  # noqa: F401
    except ImportError:
        assert "matplotlib is not installed" in done.stdout
    else:
        assert (tmp_path / "nus.png").read_bytes()[:4] == b"\x89PNG"
