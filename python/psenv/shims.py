"""Shim sets and the names of their shims (the shim module).

Sets are numbered 1 to 20; each offers some of the 48 shim indices 0 to 47.
"""

from . import _args, _core

__all__ = ["names", "index", "count"]


def names(set):  # noqa: A002  (the word users know)
    """The shims of shim set ``set`` (1 to 20) as ``{index: name}`` in index
    order, as ``psenv shims list --set N`` lists them.

    >>> psenv.shims.names(11)
    {2: 'z1', 4: 'z2', 16: 'x1', 17: 'y1', 18: 'xz', 19: 'xy', 20: 'x2y2', 21: 'yz'}
    """
    number = _args.whole("set", set, 1, 20)
    return dict(_core.shim_names(number))


def index(set, name):  # noqa: A002
    """The index of the shim called ``name`` in shim set ``set`` (case
    matters), or ``None`` when the set has no such shim."""
    name = _args.text("name", name)
    for shim_index, shim_name in names(set).items():
        if shim_name == name:
            return shim_index
    return None


def count(set):  # noqa: A002
    """The number of shims of shim set ``set``."""
    return len(names(set))
