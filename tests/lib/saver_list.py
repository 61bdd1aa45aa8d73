"""The saver list for the Python checks, read from savers/list.cmake, where each
saver is declared once: `saver(NAME "Display name" EFFECT` opens its entry."""
import os
import re

_LIST = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "savers", "list.cmake")


def entries():
    """(name, display name) of every saver, in the list's order."""
    with open(_LIST, encoding="utf-8") as f:
        return re.findall(r'^saver\(([a-z0-9_]+) "([^"]*)"', f.read(), re.MULTILINE)


def names():
    return tuple(name for name, _ in entries())
