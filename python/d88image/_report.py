"""The report's document as ``Image.report()`` gives it: the JSON text
decoded at once except for each disk's tracks, which are decoded when first
read. A disk's tracks and their records are nearly all of a report (78,848
records on a 64-disk image), and most callers ask for the status, the
anomalies or the files.

The text is d88info's, whose writer puts a disk's tracks between the member
``"tracks": [`` and the member ``"geometry"``; neither can stand inside a
JSON string, where every quote is escaped.
"""

import json
from collections.abc import Sequence

_TRACKS = b'"tracks": ['
_AFTER_TRACKS = b'"geometry": '
_ONE_TRACK = b'"walk_end": '  # a member of each track, and only of tracks


class Tracks(Sequence):
    """A disk's tracks (a list of dicts, as ``json.loads`` makes them),
    decoded on first reading. It compares equal to the list it stands for,
    and ``list(tracks)`` gives that list."""

    __slots__ = ("_text", "_begin", "_end", "_decoded")

    def __init__(self, text: bytes, begin: int, end: int) -> None:
        # The whole report's text, shared with the other disks' tracks: a
        # slice of it each would copy it all again up front.
        self._text, self._begin, self._end = text, begin, end
        self._decoded = None

    def _list(self) -> list:
        if self._decoded is None:
            self._decoded = json.loads(self._text[self._begin:self._end])
            self._text = None
        return self._decoded

    def __len__(self) -> int:
        if self._decoded is None:
            return self._text.count(_ONE_TRACK, self._begin, self._end)
        return len(self._decoded)

    def __getitem__(self, index):
        return self._list()[index]

    def __iter__(self):
        return iter(self._list())

    def __eq__(self, other) -> bool:
        if isinstance(other, Tracks):
            other = other._list()
        return isinstance(other, list) and self._list() == other

    __hash__ = None

    def __repr__(self) -> str:
        return repr(self._list())

    def __reduce__(self):
        return list, (self._list(),)


class Disk(dict):
    """A disk of the report: a dict whose ``"tracks"`` is a Tracks. Its
    items and values give the tracks as the list they stand for, so that
    ``json.dumps`` (which reads a dict subclass through ``items()``) and
    ``copy`` write the report back as it was."""

    __slots__ = ()

    def items(self):
        return [(key, _plain(value)) for key, value in super().items()]

    def values(self):
        return [_plain(value) for value in super().values()]


def _plain(value):
    return value._list() if isinstance(value, Tracks) else value


def document(text: bytes) -> dict:
    """The document of the JSON text ``text`` (UTF-8), each disk's
    ``"tracks"`` a Tracks."""
    pieces = []
    held = []
    start = 0
    while True:
        found = text.find(_TRACKS, start)
        if found < 0:
            break
        begin = found + len(_TRACKS) - 1
        after = text.find(_AFTER_TRACKS, begin)
        if after < 0:  # not the writer's layout: decoded whole
            return json.loads(text)
        end = text.rindex(b"]", begin, after) + 1
        pieces.append(text[start:begin])
        pieces.append(b"%d" % len(held))  # a stand-in, replaced below
        held.append((begin, end))
        start = end
    if not held:
        return json.loads(text)
    pieces.append(text[start:])
    report = json.loads(b"".join(pieces))
    for image in report["images"]:
        disks = image.get("disks", ())
        for index, disk in enumerate(disks):
            disk["tracks"] = Tracks(text, *held[disk["tracks"]])
            disks[index] = Disk(disk)
    return report
