"""psenv from Python: parameter files, sampling schedules and their
point-spread functions, lock frequencies and shim names, through the same
libraries the ``psenv`` command uses.

Submodules:

- :mod:`psenv.params` -- parameter files: load, check, change, save, compare
- :mod:`psenv.sched` -- sampling schedules: make, read, write, check, judge
  by their point-spread function, draw
- :mod:`psenv.lock` -- lock frequency and synthesizer word
- :mod:`psenv.shims` -- shim sets and their shim names

``psenv.__version__`` is the project's version; :class:`DamagedFile` is
raised by :func:`psenv.params.load` for a file that fails the strict check.
See docs/python.md.
"""

from . import _core
from ._core import DamagedFile

__version__ = _core.__version__

from . import lock, params, sched, shims  # noqa: E402  (they use _core)

__all__ = ["DamagedFile", "__version__", "lock", "params", "sched", "shims"]
