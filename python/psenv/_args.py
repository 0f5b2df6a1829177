"""Checks of the arguments users pass, so that a wrong type or value is a
TypeError or ValueError naming the argument, before any library call."""

import numbers
import operator
import os

import numpy


def whole(name, value, low=None, high=None):
    """``value`` as an int (anything with ``__index__`` but bool)."""
    if isinstance(value, (bool, numpy.bool_)) or not hasattr(type(value), "__index__"):
        raise TypeError(f"{name} must be an int, not {type(value).__name__}")
    number = operator.index(value)
    if (low is not None and number < low) or (high is not None and number > high):
        raise ValueError(f"{name} must be from {low} to {high}, not {number}")
    return number


def real(name, value):
    """``value`` as a finite float (an int or float, numpy's included)."""
    if isinstance(value, (bool, numpy.bool_)) or not isinstance(value, numbers.Real):
        raise TypeError(f"{name} must be a number, not {type(value).__name__}")
    number = float(value)
    if number != number or number in (float("inf"), float("-inf")):
        raise ValueError(f"{name} must be a finite number, not {number}")
    return number


def text(name, value):
    """``value`` as a str without NUL characters."""
    if not isinstance(value, str):
        raise TypeError(f"{name} must be a str, not {type(value).__name__}")
    if "\0" in value:
        raise ValueError(f"{name} must not hold a NUL character")
    return value


def path(name, value):
    """A file name given as str, bytes or os.PathLike, as a str."""
    if not isinstance(value, (str, bytes, os.PathLike)):
        raise TypeError(f"{name} must be a path (str or os.PathLike), not {type(value).__name__}")
    value = os.fsdecode(os.fspath(value))
    if not value:
        raise ValueError(f"{name} must not be empty")
    if "\0" in value:
        raise ValueError(f"{name} must not hold a NUL character")
    return value
