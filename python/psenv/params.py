"""Parameter files: load, check, change, save and compare them -- the
parameter store and the checks of ``psenv par``.

>>> ps = psenv.params.load("sample.par")
>>> ps["sw"].value
8000.0
>>> ps["sw"] = 10000          # the rules of `psenv par set`
>>> ps.save()                 # its guarded edit: the same bytes it writes
"""

import collections.abc
import numbers
import warnings

import numpy

from . import _args, _core
from ._core import DamagedFile, SaveRefused

__all__ = ["DamagedFile", "Parameter", "ParameterSet", "SaveRefused", "check", "diff", "load"]


class Parameter:
    """One parameter as the set holds it; read-only (a new value goes
    through the set: ``ps[name] = value``).

    name        its name
    type        ``"real"`` or ``"string"``
    values      the values, a tuple of float or of str
    value       the first value (None when there is none)
    size        the number of values
    max, min, step   its limits (min..max checked when max > min, step when
                above 0; with protection bit 0x2000 min and max are
                positions in the arrays "parmin" and "parmax")
    active      whether it is active (bool)
    group, dgroup   its group and second group
    protection  its protection bits (0x0001: write protected)
    enum        the values it may take, a tuple (empty: any)
    subtype     its subtype

    ``float(p)`` gives the value of a real parameter, ``str(p)`` the value
    of a string parameter.
    """

    __slots__ = ("name", "type", "values", "max", "min", "step", "active", "group", "dgroup",
                 "protection", "enum", "subtype")

    def __init__(self, name, type, values, max, min, step, active, group, dgroup,  # noqa: A002
                 protection, enum, subtype):
        for field, value in zip(self.__slots__, (name, type, values, max, min, step, active, group,
                                                 dgroup, protection, enum, subtype)):
            object.__setattr__(self, field, value)

    def __setattr__(self, name, value):
        raise AttributeError("a Parameter is read-only: set a new value through its set "
                             "(ps[name] = value)")

    @property
    def value(self):
        return self.values[0] if self.values else None

    @property
    def size(self):
        return len(self.values)

    def __float__(self):
        if self.type != "real" or not self.values:
            raise TypeError(f"{self.name} is a {self.type} parameter without a real value")
        return float(self.values[0])

    def __str__(self):
        if self.type == "string" and self.values:
            return self.values[0]
        return repr(self)

    def __repr__(self):
        shown = ", ".join(repr(v) for v in self.values[:8])
        if len(self.values) > 8:
            shown += f", ... ({len(self.values)} values)"
        extras = []
        if self.max != 0 or self.min != 0:
            extras.append(f"min={self.min:g}, max={self.max:g}")
        if self.step:
            extras.append(f"step={self.step:g}")
        if self.enum:
            extras.append(f"enum={self.enum!r}")
        extras.append(f"group={self.group}")
        if self.protection:
            extras.append(f"protection=0x{self.protection:04x}")
        if not self.active:
            extras.append("inactive")
        return f"<Parameter {self.name} {self.type} ({shown}) {', '.join(extras)}>"

    def __eq__(self, other):
        if not isinstance(other, Parameter):
            return NotImplemented
        return all(getattr(self, f) == getattr(other, f) for f in self.__slots__)

    __hash__ = None


def _texts(name, value):
    """The values of an assignment as the texts `par set` would be given,
    and whether they are numbers; floats as their shortest exact text."""
    if isinstance(value, (list, tuple, numpy.ndarray)):
        values = list(numpy.asarray(value).ravel()) if isinstance(value, numpy.ndarray) else list(value)
    else:
        values = [value]
    if not values:
        raise ValueError(f"{name}: a parameter needs at least one value")
    if all(isinstance(v, str) for v in values):
        for v in values:
            if "\0" in v:
                raise ValueError(f"{name}: a value must not hold a NUL character")
        return False, [str(v) for v in values]
    if all(isinstance(v, numbers.Real) and not isinstance(v, (bool, numpy.bool_)) for v in values):
        try:
            return True, [repr(float(v)) for v in values]
        except OverflowError:
            raise ValueError(f"{name}: Wrong type (a value is beyond the range of a real)") from None
    raise TypeError(f"{name}: values must be all numbers (a real parameter) or all str "
                    "(a string parameter)")


def _warn(texts):
    for text in texts:
        warnings.warn(text, UserWarning, stacklevel=3)


class ParameterSet(collections.abc.MutableMapping):
    """The parameters of a parameter file, by name, in the file's order
    (:func:`load`).

    ``len(ps)``, ``name in ps``, iteration (names), ``ps[name]`` (a
    :class:`Parameter`), ``ps.get(name)``, ``ps.items()`` ...  as any
    mapping.

    ``ps[name] = value`` sets the values of an existing parameter: a number
    or str, or a list of them.  The rules of ``psenv par set`` apply: write
    protection, the type (numbers for a real parameter, str for a string
    parameter), limits and step (limits held in "parmin"/"parmax" of this
    set resolved), the enumeration, at most 1022 characters in a string; nan
    and inf are refused.  A refusal raises ValueError and changes nothing.
    A name the set does not hold raises KeyError: new parameters come from
    :meth:`create`.  ``del ps[name]`` removes one.

    Changes stay in memory until :meth:`save`.
    """

    def __init__(self, data):
        if not isinstance(data, _core.ParameterData):
            raise TypeError("a ParameterSet comes from psenv.params.load(path)")
        self._data = data

    @property
    def path(self):
        """The file the set was loaded from (as given)."""
        return self._data.path

    @property
    def modified(self):
        """Whether the set holds changes not saved to its file."""
        return self._data.modified

    def __getitem__(self, name):
        if not isinstance(name, str):
            raise KeyError(name)
        return Parameter(*self._data.view(name))

    def __setitem__(self, name, value):
        name = _args.text("name", name)
        if name not in self._data:
            raise KeyError(f"{name}: the set holds no such parameter; "
                           "ps.create(name, type, values) makes a new one")
        numbers_given, texts = _texts(name, value)
        _warn(self._data.set(name, numbers_given, texts))

    def __delitem__(self, name):
        if not isinstance(name, str) or name not in self._data:
            raise KeyError(name)
        self._data.remove(name)

    def __iter__(self):
        return iter(self._data.names())

    def __len__(self):
        return len(self._data)

    def __contains__(self, name):
        return isinstance(name, str) and name in self._data

    def __repr__(self):
        changed = ", modified" if self.modified else ""
        return f"<ParameterSet {self.path!r}: {len(self)} parameters{changed}>"

    def create(self, name, type, values, *, min=None, max=None, step=None,  # noqa: A002
               group=None, prot=None):
        """A new parameter ``name`` of ``type`` (``"real"`` or ``"string"``)
        with ``values`` (one value or a list), as ``psenv par set`` makes
        one with ``--min``, ``--max``, ``--step``, ``--group`` (0 to 7) and
        ``--prot`` (protection bits); fields not given are 0.  A string
        parameter takes no limits.  The values must meet the limits and step
        given.  Refusals raise ValueError; a name the set holds already too.
        Returns the new :class:`Parameter`."""
        name = _args.text("name", name)
        type = _args.text("type", type)
        if type not in ("real", "string"):
            raise ValueError(f"type must be 'real' or 'string', not {type!r}")
        fields = {}
        for field, value in (("min", min), ("max", max), ("step", step)):
            if value is not None:
                fields[field] = _args.real(field, value)
        if type == "string" and fields:
            raise ValueError(f"{name}: a string parameter takes no min, max or step")
        if fields.get("step", 0) < 0:
            raise ValueError("step must be 0 or more")
        if "min" in fields and "max" in fields and fields["min"] > fields["max"]:
            raise ValueError("min is above max")
        if group is not None:
            fields["group"] = _args.whole("group", group, 0, 7)
        if prot is not None:
            fields["prot"] = _args.whole("prot", prot, 0, 0x7FFFFFFF)
        numbers_given, texts = _texts(name, values)
        if numbers_given != (type == "real"):
            raise ValueError(f"{name}: Wrong type (a {type} parameter takes "
                             f"{'numbers' if type == 'real' else 'str values'})")
        _warn(self._data.create(name, type, texts, fields.get("min"), fields.get("max"),
                                fields.get("step"), fields.get("group"), fields.get("prot")))
        return self[name]

    def save(self, path=None, *, force=False, wait=None):
        """Saves the set through the guarded edit of ``psenv par set``: the
        lock of the file's directory (another editor waits at most ``wait``
        seconds, default 10), the refusals of a target that is no regular
        file, is damaged, or -- unless ``force`` -- read-only, hard-linked
        or holding repeated names, then a new file written beside it and
        renamed over it with its owner and mode.  The bytes are exactly what
        ``psenv par set`` writes for the same change.

        Without ``path``: back to the file the set came from, which must
        still hold what was loaded (else SaveRefused); the set then holds
        what was saved.  With ``path``: that file (made when missing); the
        set stays the set of its own file.

        Raises :class:`SaveRefused` (an OSError) for a refusal or failure
        -- the file is then as it was -- and ValueError when a change is
        refused by the store."""
        target = None if path is None else _args.path("path", path)
        if not isinstance(force, bool):
            raise TypeError(f"force must be True or False, not {type(force).__name__}")
        seconds = _core.default_edit_wait if wait is None else _args.real("wait", wait)
        if not 0 <= seconds <= 3600:
            raise ValueError(f"wait must be from 0 to 3600 seconds, not {seconds}")
        self._data.save(target, force, seconds)


def _set(name, value):
    if isinstance(value, ParameterSet):
        return value
    return load(_args.path(name, value))


def load(path):
    """The parameter file ``path`` as a :class:`ParameterSet`.

    The strict check of ``psenv par check`` runs first: a damaged file
    raises :class:`DamagedFile` (a ValueError) whose ``problems`` is the
    list of ``(line, text)``.  A file that cannot be read raises OSError
    with its errno and path.  Records that repeat a name load as the store
    loads them (the last wins) with a warning."""
    return ParameterSet(_core.ParameterData.load(_args.path("path", path)))


def check(path):
    """The strict check of ``psenv par check``: the problems of the file
    ``path`` as ``(line, text)`` pairs in file order, empty when every
    record is whole (records that repeat a name count too).  Raises OSError
    when the file cannot be read."""
    return _core.params_check(_args.path("path", path))


def diff(a, b):
    """The parameters in which ``a`` and ``b`` (files or ParameterSets)
    differ, as ``psenv par diff`` judges them: a list in name order of
    ``(name, a_values, b_values)``, the values None where a set lacks the
    parameter.  A parameter counts as different when any field differs
    (type, values, enumeration, limits, step, groups, subtype, active,
    protection)."""
    return _set("a", a)._data.diff(_set("b", b)._data)
