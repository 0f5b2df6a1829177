"""Shared helpers of the Python module's tests: the built psenv tool, which
the module is compared with, and scratch files."""

import os
import subprocess

import pytest


@pytest.fixture(scope="session")
def tool():
    path = os.environ.get("PSENV_TOOL")
    if not path:
        pytest.skip("PSENV_TOOL is not set (run the tests through ctest)")
    return path


@pytest.fixture(scope="session")
def source_dir():
    return os.environ.get("PSENV_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))


@pytest.fixture
def psenv_cli(tool, tmp_path):
    """Runs ``psenv ARGS...`` in the test's scratch folder."""

    def run(*args, check=True):
        done = subprocess.run([tool, *map(str, args)], cwd=tmp_path, capture_output=True, text=True)
        if check and done.returncode != 0:
            raise AssertionError(f"psenv {' '.join(map(str, args))} failed: {done.stderr}")
        return done

    return run


@pytest.fixture
def sample(source_dir, tmp_path):
    """A copy of the bundled example parameter file."""
    with open(os.path.join(source_dir, "examples", "params", "sample.par"), "rb") as f:
        data = f.read()
    path = tmp_path / "sample.par"
    path.write_bytes(data)
    return path
