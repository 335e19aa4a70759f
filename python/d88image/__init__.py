"""Read D88 floppy-disk images, report on them and cut their files out.

A D88 file holds one or more floppy-disk dumps back to back. This package
opens one from a path or from bytes and gives, through the d88image
library's C API:

- its disks and their facts (``Image.disks``), and the reader's operations
  on a selected disk: sectors by their recorded ID bytes, runs of sectors,
  a track's sector IDs and the walk over its records;
- ``Image.report()``: what the image holds, what is damaged in it and where,
  and what the cutters would write, as the dict of the JSON document that
  ``d88info --json IMAGE`` prints (``Image.report_json()`` gives its text);
- ``Image.cut()``: the files ``d88cut`` would write from it, with the texts
  of the manifest.json and SHA256SUMS it writes beside them, in memory.

Images are untrusted input: a damaged or hostile one makes reads come back
short or empty, never crashes. Failures raise ``D88Error``.

Example::

    import d88image

    with d88image.open("game.d88") as image:
        print(len(image.disks), image.report()["images"][0]["status"])
        for file in image.cut().files:
            print(file.name, len(file.data), "complete" if file.complete else "zero-padded")
"""

from __future__ import annotations

import os as _os
from ctypes import POINTER, byref, c_char, c_int, c_size_t, c_void_p, create_string_buffer, string_at

from . import _native
from ._native import lib as _lib

__all__ = ["open", "Image", "Disk", "SectorId", "Record", "Run", "Cut", "CutFile", "MissingFile", "D88Error",
           "version"]

_WALK_ENDS = ("unusable", "count", "zero-count", "end-of-file", "limit", "stopped")
_CUT_MODES = {"auto": 0, "table": 1, "scan": 2}
_MAX_SECTOR_DATA = 65535
_MAX_RECORDS_PER_WALK = 65536


def version() -> str:
    """The d88image library's release, as ``d88info --version`` gives it."""
    return _lib.d88_version().decode()


__version__ = version()


class D88Error(Exception):
    """A failure the d88image library reports.

    ``status`` is the C API's status code (``d88_status``); the message is
    its details (the system's reason, the disk asked for) or, without them,
    the status's own words.
    """

    def __init__(self, status: int, message: str) -> None:
        super().__init__(message)
        self.status = status


class _Value:
    """Plain value objects: compared by their fields, shown with them."""

    __slots__ = ()

    def _fields(self) -> tuple:
        return tuple(getattr(self, name) for name in self.__slots__)

    def __eq__(self, other: object) -> bool:
        return type(other) is type(self) and other._fields() == self._fields()

    def __hash__(self) -> int:
        return hash(self._fields())

    def __repr__(self) -> str:
        members = ", ".join("%s=%r" % (name, getattr(self, name)) for name in self.__slots__)
        return "%s(%s)" % (type(self).__name__, members)


class Disk(_Value):
    """One disk of an image, as its header says.

    index: its place in the file (0, 1, ...); offset: the file offset of its
    header; size: the header's disk size field; media: the media type byte
    (0x00 2D, 0x10 2DD, 0x20 2HD, or another); write_protect: the
    write-protect byte (0x10 protected); name: the stored name bytes up to
    the first NUL, at most 16, in no particular character set.
    """

    __slots__ = ("index", "offset", "size", "media", "write_protect", "name")

    def __init__(self, index: int, offset: int, size: int, media: int, write_protect: int, name: bytes) -> None:
        self.index = index
        self.offset = offset
        self.size = size
        self.media = media
        self.write_protect = write_protect
        self.name = name


class SectorId(_Value):
    """The four ID bytes recorded with a sector: cylinder c, head h, sector
    number r and size code n (nominal size 128 << n bytes)."""

    __slots__ = ("c", "h", "r", "n")

    def __init__(self, c: int, h: int, r: int, n: int) -> None:
        self.c = c
        self.h = h
        self.r = r
        self.n = n


class Record(_Value):
    """One sector record as the walk over a track meets it.

    position: the file offset of its 16-byte header (its data follows); id:
    its SectorId; count: its sector-count field; density: 0x00 double, 0x40
    single; deleted: 0x10 when the deleted-data mark is set; status: the
    controller status of the dump's read (0 when it read well); length: its
    data length field.
    """

    __slots__ = ("position", "id", "count", "density", "deleted", "status", "length")

    def __init__(self, position: int, id: SectorId, count: int, density: int, deleted: int, status: int,
                 length: int) -> None:
        self.position = position
        self.id = id
        self.count = count
        self.density = density
        self.deleted = deleted
        self.status = status
        self.length = length


class Run(_Value):
    """What ``Image.read_run`` read: data, the bytes that arrived (the step
    that fell short included), and whole, how many of them came from steps
    read in full."""

    __slots__ = ("data", "whole")

    def __init__(self, data: bytes, whole: int) -> None:
        self.data = data
        self.whole = whole


class CutFile(_Value):
    """A file of a cut: its name, its bytes (data), its size, which disk it
    came from, and how many of its leading bytes the sectors supplied; the
    rest are zeros, and complete says whether there are none."""

    __slots__ = ("name", "data", "size", "disk", "complete", "supplied")

    def __init__(self, name: str, data: bytes, disk: int, complete: bool, supplied: int) -> None:
        self.name = name
        self.data = data
        self.size = len(data)
        self.disk = disk
        self.complete = complete
        self.supplied = supplied


class MissingFile(_Value):
    """A file the table cutter knows of that a cut does not give, because
    its first sector cannot be read: its name, the disk, and the reason in
    words."""

    __slots__ = ("name", "disk", "reason")

    def __init__(self, name: str, disk: int, reason: str) -> None:
        self.name = name
        self.disk = disk
        self.reason = reason


class Cut:
    """What ``d88cut`` makes of an image, in memory.

    mode: ``"table"`` or ``"scan"``, the cutter used; files: the CutFiles in
    the order d88cut writes them; missing: the MissingFiles; manifest: the
    text of the manifest.json d88cut writes beside them (``json.loads`` reads
    it: damage, sizes, checksums); checksums: the text of its SHA256SUMS, or
    None when no file is cut (d88cut then writes none).
    """

    def __init__(self, mode: str, files: list[CutFile], missing: list[MissingFile], manifest: str,
                 checksums: str | None) -> None:
        self.mode = mode
        self.files = files
        self.missing = missing
        self.manifest = manifest
        self.checksums = checksums

    def __repr__(self) -> str:
        return "Cut(mode=%r, files=%d, missing=%d)" % (self.mode, len(self.files), len(self.missing))


def _text(pointer: int | None, length: int) -> str:
    # Decoded where the library holds it: a report runs to tens of MB, and
    # a copy first would cost as much again.
    return str(memoryview((c_char * length).from_address(pointer)), "utf-8") if length else ""


class Image:
    """An open D88 image; made by ``d88image.open``.

    Use it as a context manager, or call ``close()``; its operations raise
    D88Error once it is closed. The sector operations read the disk made
    current by ``select_disk``. A track is usable when its index is 0..163
    and its offset non-zero and within the disk; an unusable track, a
    missing sector or an empty one reads as nothing.
    """

    def __init__(self, source: str | bytes | bytearray | memoryview | _os.PathLike, name: str | None = None) -> None:
        handle = c_void_p()
        self._handle: int | None = None
        if isinstance(source, (bytes, bytearray, memoryview)):
            # The library reads the bytes in place: they are kept, unchanging,
            # as long as the image.
            self._data: bytes | None = bytes(source)
            self.name = name if name is not None else ""
            status = _lib.d88_open_memory(self._data, len(self._data), _os.fsencode(self.name), byref(handle))
        else:
            if name is not None:
                raise TypeError("name is for an image given as bytes; a path names its image")
            self._data = None
            self.name = _os.fsdecode(source)
            status = _lib.d88_open_path(_os.fsencode(source), byref(handle))
        self._handle = handle.value
        if status != 0:
            error = self._error(status)
            self.close()
            raise error
        disk = _native.DiskStruct()
        self.disks: list[Disk] = []
        for index in range(_lib.d88_disk_count(self._handle)):
            self._check(_lib.d88_disk_info(self._handle, index, byref(disk)))
            self.disks.append(Disk(index, disk.offset, disk.size, disk.media, disk.write_protect, disk.name))

    def __enter__(self) -> Image:
        return self

    def __exit__(self, *exception: object) -> None:
        self.close()

    def __del__(self) -> None:
        self.close()

    def __repr__(self) -> str:
        state = "closed" if self._handle is None else "%d disks" % len(self.disks)
        return "<d88image.Image %r, %s>" % (self.name, state)

    def close(self) -> None:
        """Frees the image; closing it again does nothing."""
        handle, self._handle = getattr(self, "_handle", None), None
        if handle is not None:
            _lib.d88_close(handle)

    def _error(self, status: int) -> D88Error:
        details = _lib.d88_image_error(self._handle) if self._handle is not None else b""
        return D88Error(status, (details or _lib.d88_status_text(status)).decode("utf-8", "replace"))

    def _check(self, status: int) -> None:
        if status != 0:
            raise self._error(status)

    def _open_handle(self) -> int:
        if self._handle is None:
            raise D88Error(1, "the image is closed")
        return self._handle

    @property
    def selected_disk(self) -> int | None:
        """The index of the selected disk, or None."""
        index = _lib.d88_selected_disk(self._open_handle())
        return None if index < 0 else index

    def select_disk(self, index: int) -> None:
        """Makes disk index the one the sector operations read."""
        self._check(_lib.d88_select_disk(self._open_handle(), index))

    def read_sector(self, track: int, c: int, h: int, r: int, n: int, size: int = _MAX_SECTOR_DATA) -> bytes:
        """The data of the first sector on track with ID (c, h, r, n), at
        most size bytes: empty when it is missing or empty, short when the
        file ends inside it."""
        buffer = create_string_buffer(size)
        copied = c_size_t()
        self._check(_lib.d88_read_sector(self._open_handle(), track, _native.SectorIdStruct(c, h, r, n), buffer,
                                         size, byref(copied)))
        return buffer.raw[:copied.value]

    def read_run(self, track: int, c: int, h: int, r: int, n: int, total: int) -> Run:
        """Reads total bytes of consecutive sectors from ID (c, h, r, n) on,
        a sector at a step, wrapping from the last sector number of the range
        (set_sector_range) to the first onto the next track; a step that
        falls short stops the run."""
        buffer = create_string_buffer(total)
        whole, copied = c_size_t(), c_size_t()
        self._check(_lib.d88_read_run(self._open_handle(), track, _native.SectorIdStruct(c, h, r, n), buffer, total,
                                      byref(whole), byref(copied)))
        return Run(buffer.raw[:copied.value], whole.value)

    def set_sector_range(self, first: int, last: int) -> None:
        """The sector numbers read_run wraps between (initially 1 and 16)."""
        self._check(_lib.d88_set_sector_range(self._open_handle(), first, last))

    def list_sector_ids(self, track: int) -> list[SectorId]:
        """The ID of each record of track, in stored order; empty for an
        unusable track."""
        ids = (_native.SectorIdStruct * _MAX_RECORDS_PER_WALK)()
        count = c_size_t()
        self._check(_lib.d88_list_sector_ids(self._open_handle(), track, ids, _MAX_RECORDS_PER_WALK, byref(count)))
        return [SectorId(i.c, i.h, i.r, i.n) for i in ids[:count.value]]

    def walk_track(self, track: int) -> tuple[list[Record], str]:
        """Walks the records of track as a search for a missing sector does;
        gives the records met and why the walk ended: "count", "zero-count",
        "end-of-file", "limit" (65,536 records without an end) or "unusable"
        (no usable track)."""
        records: list[Record] = []

        def visit(record, context):
            r = record.contents
            i = r.id
            records.append(Record(r.position, SectorId(i.c, i.h, i.r, i.n), r.count, r.density, r.deleted, r.status,
                                  r.length))
            return 1

        end = c_int()
        self._check(_lib.d88_walk_track(self._open_handle(), track, _native.RecordVisitor(visit), None, byref(end)))
        return records, _WALK_ENDS[end.value]

    def report_json(self) -> str:
        """The text of the JSON document ``d88info --json`` prints for this
        image alone, byte for byte; an image opened from bytes is called by
        the name given to ``open``."""
        text = c_void_p()
        length = c_size_t()
        self._check(_lib.d88_report_json(self._open_handle(), byref(text), byref(length)))
        try:
            return _text(text.value, length.value)
        finally:
            _lib.d88_text_free(text)

    def report(self) -> dict:
        """The report as a dict: ``{"version": 1, "images": [IMAGE]}``, with
        the image's disks, tracks and records, its anomalies (damage and
        notes, with where they lie), what tablecut and scancut would write
        from it, and its status ("ok", "damaged", "unreadable")."""
        import json

        return json.loads(self.report_json())

    def cut(self, mode: str = "auto") -> Cut:
        """The files d88cut cuts from the image, in memory: mode "table" as
        ``d88cut --table``, "scan" as ``--scan``, "auto" as neither (the
        table cutter when a disk is of a kind it knows, else the scanner).
        Raises D88Error when the input is no D88 image or cannot be read."""
        if mode not in _CUT_MODES:
            raise ValueError("mode must be one of %s, not %r" % (", ".join(_CUT_MODES), mode))
        made = POINTER(_native.CutStruct)()
        self._check(_lib.d88_cut_image(self._open_handle(), _CUT_MODES[mode], byref(made)))
        try:
            cut = made.contents
            files = [CutFile(f.name.decode(), string_at(f.data, f.size) if f.size else b"", f.disk, bool(f.complete),
                             f.supplied)
                     for f in cut.files[:cut.file_count]]
            missing = [MissingFile(m.name.decode(), m.disk, m.reason.decode("utf-8"))
                       for m in cut.missing[:cut.missing_count]]
            checksums = _text(cut.checksums, cut.checksums_length) if cut.checksums else None
            return Cut(cut.mode.decode(), files, missing, _text(cut.manifest, cut.manifest_length), checksums)
        finally:
            _lib.d88_cut_free(made)


def open(source: str | bytes | bytearray | memoryview | _os.PathLike, name: str | None = None) -> Image:
    """Opens a D88 image: a path (str or os.PathLike), or the image's bytes
    themselves (bytes, read in place; a bytearray or memoryview is copied
    once). For bytes, name is what the report and the cut call the image
    (default ""); a path is called as given. Only a regular file is opened.
    Raises D88Error when the file cannot be opened or read."""
    return Image(source, name)
