"""The report's document as ``Image.report()`` gives it: decoded from the
library's brief text, in which each disk's "tracks" is the number of its
tracks, each disk's list of tracks a Tracks that reads the whole text when
first read. A disk's tracks and their records are nearly all of a report
(78,848 records on a 64-disk image), and most callers ask for the status,
the anomalies or the files.

The whole text is d88info's, whose writer puts a disk's tracks between the
member ``"tracks": [`` and the member ``"geometry"``; neither can stand
inside a JSON string, where every quote is escaped. The brief text is the
same with each such list replaced by its number of tracks, which is how the
whole text read later is known to be of the same image.
"""

import json
from collections.abc import Sequence

_TRACKS = b'"tracks": ['
_AFTER_TRACKS = b'"geometry": '
_ONE_TRACK = b'"walk_end": '  # a member of each track, and only of tracks


def _track_lists(text: bytes) -> list:
    """Where each disk's list of tracks lies in the whole text: (begin,
    end) of the list's brackets, in the order of the disks."""
    spans = []
    start = 0
    while True:
        found = text.find(_TRACKS, start)
        if found < 0:
            return spans
        begin = found + len(_TRACKS) - 1
        after = text.find(_AFTER_TRACKS, begin)
        if after < 0:
            return spans
        start = text.rindex(b"]", begin, after) + 1
        spans.append((begin, start))


class _WholeText:
    """The whole text of a report, read once when a disk's tracks are first
    wanted, and let go once every disk's are decoded."""

    __slots__ = ("_brief", "_read", "_changed", "_text", "_spans", "_left")

    def __init__(self, brief: bytes, read, changed, disks: int) -> None:
        self._brief, self._read, self._changed = brief, read, changed
        self._text = self._spans = None
        self._left = disks

    def tracks(self, disk: int) -> list:
        if self._text is None:
            self._take(self._read())
        begin, end = self._spans[disk]
        tracks = json.loads(self._text[begin:end])
        self._left -= 1
        if self._left == 0:
            self._text = self._spans = self._brief = None
        return tracks

    def _take(self, text: bytes) -> None:
        spans = _track_lists(text)
        pieces = []
        start = 0
        for begin, end in spans:
            pieces.append(text[start:begin])
            pieces.append(b"%d" % text.count(_ONE_TRACK, begin, end))
            start = end
        pieces.append(text[start:])
        if b"".join(pieces) != self._brief:
            raise self._changed()
        self._text, self._spans = text, spans


class Tracks(Sequence):
    """A disk's tracks (a list of dicts, as ``json.loads`` makes them),
    decoded on first reading. It compares equal to the list it stands for,
    and ``list(tracks)`` gives that list."""

    __slots__ = ("_count", "_whole", "_disk", "_decoded")

    def __init__(self, count: int, whole: _WholeText, disk: int) -> None:
        self._count, self._whole, self._disk = count, whole, disk
        self._decoded = None

    def _list(self) -> list:
        if self._decoded is None:
            self._decoded = self._whole.tracks(self._disk)
            self._whole = None
        return self._decoded

    def __len__(self) -> int:
        return self._count

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


def document(brief: bytes, read, changed) -> dict:
    """The document of the brief text ``brief`` (UTF-8), each disk's
    ``"tracks"`` a Tracks. ``read()`` gives the whole text when one is first
    read; ``changed()`` the exception raised when that text is not of the
    image the brief one is."""
    report = json.loads(brief)
    whole = _WholeText(brief, read, changed, sum(len(image.get("disks", ())) for image in report["images"]))
    at = 0
    for image in report["images"]:
        listed = image.get("disks", ())
        for index, disk in enumerate(listed):
            disk["tracks"] = Tracks(disk["tracks"], whole, at)
            listed[index] = Disk(disk)
            at += 1
    return report
