"""Lock frequency and synthesizer word (the lock-frequency module).

All frequencies are in MHz; ``key`` is the spectrometer's nominal frequency
as a whole number (200, 300, 400, ...).  On an ``"ardel"`` console the word
depends on the lock-frequency table ``<systemdir>/nuctables/lockfreqtab``;
``systemdir`` defaults to the environment variable ``PSENV_SYSTEMDIR``, as
for ``psenv lock``.  A ``"quilmar"`` word needs no table.

Failures raise: ``OSError`` (with errno and the table's path) when the table
cannot be opened, ``ValueError`` for a table error, a key without a row, an
unsupported console or a word beyond 32 bits.
"""

from . import _args, _core

__all__ = ["word", "freq", "offset"]


def _systemdir(systemdir):
    return None if systemdir is None else _args.path("systemdir", systemdir)


def word(key, lockfreq, console, systemdir=None):
    """The synthesizer word (int) for the lock frequency ``lockfreq`` on a
    console of type ``console`` (``"ardel"`` or ``"quilmar"``), as
    ``psenv lock word --key KEY --lockfreq L --console C`` prints it."""
    return _core.lock_word(_args.whole("key", key, -2**31, 2**31 - 1),
                           _args.real("lockfreq", lockfreq), _args.text("console", console),
                           _systemdir(systemdir))


def freq(key, word, console="ardel", systemdir=None):  # noqa: A002
    """The lock frequency (float, MHz) of the synthesizer word ``word``;
    only an ``"ardel"`` console has one (``psenv lock freq``)."""
    return _core.lock_freq(_args.whole("key", key, -2**31, 2**31 - 1),
                           _args.whole("word", word, -2**31, 2**31 - 1),
                           _args.text("console", console), _systemdir(systemdir))


def offset(key, lockfreq, systemdir=None):
    """The lock offset ``|(lockfreq +/- synthif) - lockref|`` from the table
    row of ``key`` (``psenv lock offset``)."""
    return _core.lock_offset(_args.whole("key", key, -2**31, 2**31 - 1),
                             _args.real("lockfreq", lockfreq), _systemdir(systemdir))
