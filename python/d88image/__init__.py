"""Read D88 floppy-disk images, report on them and cut their files out.

A D88 file holds one or more floppy-disk dumps back to back. This package
opens one (from a path, a file object or bytes) and gives, through the
d88image library's C API:

- ``image.disks`` (and ``for disk in image``): each disk's facts, and its
  sectors by their recorded ID bytes (``disk.read_sector(track, id)``), the
  IDs of a track (``disk.sector_ids``) and the walk over its records
  (``disk.walk``);
- ``image.status`` and ``image.anomalies``: what the survey ``d88info``
  runs makes of it (ok, damaged, unreadable) and what is wrong where;
- ``image.report()``: the whole report, the dict of the JSON document
  ``d88info --json IMAGE`` prints (typed as ``Report``; ``report_json()``
  gives its text), and ``image.map_svg()``, the map ``d88info --map`` draws;
- ``image.cut()``: the files ``d88cut`` would write from it, in memory, and
  ``cut.extractall(folder)`` to write them as d88cut does;
- ``disk.files``: the files of a disk by its own file system (N88-BASIC,
  Hu-BASIC, FAT12, F-BASIC), each with ``read()``;
- ``image.to_raw(disk)`` and ``d88image.from_raw(data)``: the conversions
  of ``d88convert``, a disk to a raw image and a raw image to a D88 one.

Images are untrusted input: a damaged or hostile one makes reads come back
short or empty, never crashes. Failures raise ``D88Error`` or one of its
subclasses (``NotAnImageError``, ``ReadError``, ``NoDiskError``,
``OpenError``, ``GeometryError``); a path that cannot be opened raises ``FileNotFoundError``,
``PermissionError`` or ``IsADirectoryError``, and a closed image
``ValueError``.

Example::

    import d88image

    with d88image.open("game.d88") as image:
        print(len(image.disks), image.status.key)
        for anomaly in image.anomalies:
            print(anomaly.severity.key, anomaly.message)
        cut = image.cut()
        for file in cut.files:
            print(file.name, file.size, "complete" if file.complete else "zero-padded")
        cut.extractall(".")  # into ./game, as d88cut game.d88 writes it
"""

from __future__ import annotations

import builtins as _builtins  # this module's own open() is the image's
import enum as _enum
import errno as _errno
import os as _os
import weakref as _weakref
from ctypes import byref, c_char, c_int, c_size_t, c_void_p, create_string_buffer, string_at

TYPE_CHECKING = False  # true for type checkers; typing is not imported to run
if TYPE_CHECKING:
    from typing import Any, Iterable, Iterator, List, Optional, Tuple, Union

    from ._report_types import (AnomalyReport, DiskReport, GeometryReport, ImageReport, PlannedFileReport,
                                RecordReport, Report, TrackReport)

from . import _native
from ._values import field as _field, value as _value
from ._native import C_API as _C, lib as _lib

__all__ = ["open", "Image", "Disk", "SectorId", "Record", "Run", "Walk", "WalkEnd", "Anomaly", "Severity",
           "ImageStatus", "Cut", "CutFile", "MissingFile", "CUT_MODES", "ErrorCode", "D88Error", "NotAnImageError",
           "OpenError", "ReadError", "NoDiskError", "GeometryError", "Report", "ImageReport", "version", "FileSystem",
           "File", "DamagedSector", "Damage", "RawImage", "RawFinding", "SectorRun", "from_raw"]

_MAX_SECTOR_DATA = _C["D88_MAX_SECTOR_DATA"]
_MAX_RECORDS_PER_WALK = _C["D88_MAX_RECORDS_PER_WALK"]
_TRACKS_LISTED = _C["D88_TRACKS_LISTED"]
_TRACKS_COUNTED = _C["D88_TRACKS_COUNTED"]


def version() -> str:
    """The d88image library's release, as ``d88info --version`` gives it."""
    return _lib.d88_version().decode()


__version__ = version()

#: The modes a cut takes: ``"auto"``, then each way of taking files the
#: library has (``"table"``, ``"scan"``).
CUT_MODES: Tuple[str, ...] = ("auto",) + tuple(_lib.d88_cutter_key(i).decode()
                                               for i in range(_lib.d88_cutter_count()))


# Values that are one of a set

class _Keyed(_enum.IntEnum):
    """A value of the C API's whose name in the report is its key ("ok",
    "end-of-file"); str() gives the key."""

    @property
    def key(self) -> str:
        return self.name.lower().replace("_", "-")

    def __str__(self) -> str:
        return self.key


class ErrorCode(_enum.IntEnum):
    """The C API's status of a failed call (``d88_status``)."""

    OK = _C["D88_OK"]
    ARGUMENT = _C["D88_ERR_ARGUMENT"]
    MEMORY = _C["D88_ERR_MEMORY"]
    OPEN = _C["D88_ERR_OPEN"]
    READ = _C["D88_ERR_READ"]
    NO_DISK = _C["D88_ERR_NO_DISK"]
    NOT_AN_IMAGE = _C["D88_ERR_NOT_AN_IMAGE"]
    CONVERT = _C["D88_ERR_CONVERT"]


class WalkEnd(_Keyed):
    """Why a walk over a track's records ended; ``key`` is its name in the
    report ("count", "end-of-file", ...)."""

    UNUSABLE = _C["D88_WALK_UNUSABLE"]        #: no usable track: nothing was read
    COUNT = _C["D88_WALK_COUNT"]              #: a record's position equalled its sector count - 1
    ZERO_COUNT = _C["D88_WALK_ZERO_COUNT"]    #: a record's sector count was 0
    END_OF_FILE = _C["D88_WALK_END_OF_FILE"]  #: the next record header is not all in the file
    LIMIT = _C["D88_WALK_LIMIT"]              #: 65,536 records without an end
    STOPPED = _C["D88_WALK_STOPPED"]          #: the walk was stopped


class ImageStatus(_Keyed):
    """What the survey makes of an image; ``key`` is the report's "status"."""

    OK = _C["D88_CONDITION_OK"]
    DAMAGED = _C["D88_CONDITION_DAMAGED"]        #: some damage found
    UNREADABLE = _C["D88_CONDITION_UNREADABLE"]  #: it cannot be opened, or a read failed part way
    NOT_AN_IMAGE = _C["D88_CONDITION_NOT_AN_IMAGE"]  #: the file holds no D88 image


class Severity(_Keyed):
    """How much an anomaly matters; ``key`` is the report's "severity"."""

    NOTE = _C["D88_SEVERITY_NOTE"]      #: worth knowing
    DAMAGE = _C["D88_SEVERITY_DAMAGE"]  #: costs data


# Errors

class D88Error(Exception):
    """A failure the d88image library reports.

    ``status`` is the C API's ``ErrorCode``; the message is its details (the
    system's reason, the disk asked for) or, without them, the status's own
    words.
    """

    def __init__(self, status: int, message: str) -> None:
        super().__init__(message)
        self.status = ErrorCode(status)


class NotAnImageError(D88Error):
    """Nothing in the input is a D88 disk: there is nothing to cut."""


class OpenError(D88Error, OSError):
    """The image cannot be opened for a reason the system has no error for
    (a FIFO or a device is no image). A missing path, one without
    permission and a folder raise FileNotFoundError, PermissionError and
    IsADirectoryError instead."""


class ReadError(D88Error, OSError):
    """A read of the image failed part way (an I/O error)."""


class NoDiskError(D88Error, IndexError):
    """No disk of that index, or no disk selected."""


class GeometryError(D88Error, ValueError):
    """A conversion cannot be made: no geometry can be chosen for a raw
    image (its size is that of no known kind, or of several that nothing in
    it tells apart), or a disk has none a raw image can hold. The message
    says why."""


_ERRORS = {ErrorCode.NOT_AN_IMAGE: NotAnImageError, ErrorCode.OPEN: OpenError, ErrorCode.READ: ReadError,
           ErrorCode.NO_DISK: NoDiskError, ErrorCode.CONVERT: GeometryError}


def _error(status: int, handle: Optional[int], path: str = "") -> Exception:
    details = _lib.d88_image_error(handle) if handle is not None else b""
    message = (details or _lib.d88_status_text(status)).decode("utf-8", "replace")
    number = _lib.d88_image_errno(handle) if handle is not None else 0
    if status == ErrorCode.OPEN and number:
        # The OSError family: FileNotFoundError, PermissionError, ...
        return OSError(number, _os.strerror(number), path)
    return _ERRORS.get(status, D88Error)(status, message)


def _closed() -> ValueError:
    return ValueError("I/O operation on a closed image")


# Values

@_value
class SectorId:
    """The four ID bytes recorded with a sector: cylinder c, head h, sector
    number r and size code n (nominal size 128 << n bytes)."""

    c: int
    h: int
    r: int
    n: int

    def _struct(self) -> _native.SectorIdStruct:
        return _native.SectorIdStruct(self.c, self.h, self.r, self.n)


@_value
class Record:
    """One sector record as the walk over a track meets it.

    position: the file offset of its 16-byte header (its data follows); id:
    its SectorId; count: its sector-count field; density: 0x00 double, 0x40
    single; deleted: 0x10 when the deleted-data mark is set; status: the
    controller status of the dump's read (0 when it read well; status_text
    says it in words); length: its data length field.
    """

    position: int
    id: SectorId
    count: int
    density: int
    deleted: int
    status: int
    length: int

    @property
    def status_text(self) -> str:
        """"ok", "data CRC error", ...: the words d88info uses."""
        return _lib.d88_record_status_text(self.status).decode()


@_value
class Run:
    """What a run of sectors read: data, the bytes that arrived (the step
    that fell short included), and whole, how many of them came from steps
    read in full."""

    data: bytes
    whole: int


@_value
class Walk:
    """A walk over a track: the records met, in order, and why it ended."""

    records: Tuple[Record, ...]
    end: WalkEnd


@_value
class Anomaly:
    """What the survey found wrong (or worth knowing) in an image: its kind
    (a key, as "short-sector"), its severity, a sentence, and where it lies
    (disk, track, file offset; None where it does not apply)."""

    kind: str
    severity: Severity
    message: str
    disk: Optional[int]
    track: Optional[int]
    offset: Optional[int]


@_value
class CutFile:
    """A file of a cut: its name, its bytes (data) and their size, how many
    leading bytes the sectors supplied (the rest are zeros; complete says
    whether there are none), the disk of its image it came from, its image
    in a set (0 for the cut's own) and its SHA-256 in hex."""

    name: str
    data: bytes = _field(repr=False)
    size: int
    supplied: int
    complete: bool
    disk: int
    image: int = 0
    sha256: str = ""


@_value
class MissingFile:
    """A file the table cutter knows of that a cut does not give: its first
    sector cannot be read, or a set has no disk of its kind. disk (and
    image, for a set) is None when no disk holds it."""

    name: str
    disk: Optional[int]
    reason: str
    image: Optional[int] = 0


_SUMS = "SHA256SUMS"
_MANIFEST = "manifest.json"


@_value
class Cut:
    """What ``d88cut`` makes of an image (or a set), in memory.

    mode: the cutter used ("table" or "scan"); folder: the folder d88cut
    writes into, run in the current directory; files: the CutFiles in the
    order d88cut writes them; missing: the MissingFiles; manifest: the text
    of the manifest.json d88cut writes beside them (``json.loads`` reads it:
    damage, sizes, checksums); checksums: the text of its SHA256SUMS, or
    None when no file is cut (d88cut then writes none).
    """

    mode: str
    folder: str
    files: Tuple[CutFile, ...] = _field(repr=False)
    missing: Tuple[MissingFile, ...] = _field(repr=False)
    manifest: str = _field(repr=False)
    checksums: Optional[str] = _field(repr=False)

    def extractall(self, path: Union[str, _os.PathLike] = ".", replace: bool = False) -> str:
        """Writes what d88cut, run in directory path, writes: the folder
        ``path/folder`` (made when missing) with the files, SHA256SUMS and
        manifest.json, byte for byte. As d88cut, replaces nothing unless
        asked: FileExistsError, with nothing written, when the folder holds
        one of the names; replace=True replaces them, as d88cut --force.
        Returns the folder's path."""
        folder = _os.path.join(_os.fspath(path), self.folder)
        _os.makedirs(folder, exist_ok=True)
        contents = [(file.name, file.data) for file in self.files]
        if self.checksums is not None:
            contents.append((_SUMS, self.checksums.encode()))
        contents.append((_MANIFEST, self.manifest.encode()))
        if not replace:
            present = [name for name, _ in contents if _os.path.lexists(_os.path.join(folder, name))]
            if present:
                raise FileExistsError(_errno.EEXIST, "the folder already holds " + ", ".join(present), folder)
        for name, data in contents:
            with _builtins.open(_os.path.join(folder, name), "wb" if replace else "xb") as file:
                file.write(data)
        stale = _os.path.join(folder, _SUMS)
        if replace and self.checksums is None and _os.path.lexists(stale):
            # As d88cut --force: a list left from an earlier cut would no
            # longer match the folder.
            _os.remove(stale)
        return folder


# The report's type (Report and the TypedDicts under it) lives in
# _report_types, imported when one of them is first named.
_REPORT_TYPES = ("RecordReport", "TrackReport", "GeometryReport", "DiskReport", "AnomalyReport", "PlannedFileReport",
                 "ImageReport", "Report")


def __getattr__(name: str):
    if name in _REPORT_TYPES:
        from . import _report_types

        return getattr(_report_types, name)
    raise AttributeError("module %r has no attribute %r" % (__name__, name))


def __dir__():
    return sorted(set(globals()) | set(_REPORT_TYPES))


def _text(pointer: Optional[int], length: int) -> str:
    # Decoded where the library holds it: a report runs to tens of MB, and
    # a copy first would cost as much again.
    return str(memoryview((c_char * length).from_address(pointer)), "utf-8") if length else ""


def _place(value: int) -> Optional[int]:
    return None if value < 0 else value


def _sector_id(id: Any, h: Optional[int], r: Optional[int], n: Optional[int]) -> SectorId:
    if isinstance(id, SectorId):
        return id
    if h is None or r is None or n is None:
        raise TypeError("a sector is named by a SectorId, or by its four ID bytes c, h, r, n")
    return SectorId(id, h, r, n)


@_value
class Disk:
    """One disk of an image, as its header says, and its sectors.

    index: its place in the file (0, 1, ...); offset: the file offset of its
    header; size: the header's disk size field; media: the media type byte
    (0x00 2D, 0x10 2DD, 0x20 2HD, or another); write_protect: the
    write-protect byte (0x10 protected); name: the stored name bytes up to
    the first NUL, at most 16, in no particular character set.

    Its methods read this disk whatever disk the image has selected. A
    track is usable when its index is 0..163 and its offset non-zero and
    within the disk; an unusable track, a missing sector or an empty one
    reads as nothing.
    """

    index: int
    offset: int
    size: int
    media: int
    write_protect: int
    name: bytes
    _image: Optional["Image"] = _field(default=None, repr=False, compare=False)

    def _selected(self) -> "Image":
        if self._image is None:
            raise ValueError("this disk belongs to no open image")
        self._image.select_disk(self.index)
        return self._image

    def read_sector(self, track: int, id: SectorId, size: int = _MAX_SECTOR_DATA) -> bytes:
        """The data of the first sector on track whose ID is id, at most size
        bytes: empty when it is missing or empty, short when the file ends
        inside it."""
        return self._selected().read_sector(track, id, size=size)

    def read_run(self, track: int, id: SectorId, total: int) -> Run:
        """total bytes of consecutive sectors from id on (see
        ``Image.read_run``)."""
        return self._selected().read_run(track, id, total=total)

    def sector_ids(self, track: int) -> Tuple[SectorId, ...]:
        """The ID of each record of track, in stored order."""
        return tuple(self._selected().list_sector_ids(track))

    def walk(self, track: int) -> Walk:
        """Walks the records of track as a search for a missing sector does."""
        records, end = self._selected()._walk(track)
        return Walk(tuple(records), end)

    @property
    def file_system(self) -> "FileSystem":
        """The disk's own file system and its files, as ``d88info --files``
        lists them; listed once, on first asking."""
        if self._image is None:
            raise ValueError("this disk belongs to no open image")
        return self._image._file_system(self.index)

    @property
    def files(self) -> Tuple["File", ...]:
        """The files of the disk's file system (``file_system.files``);
        empty when the disk holds none the library reads."""
        return self.file_system.files

    def to_raw(self, format: str = "raw", geometry: Optional[str] = None) -> "RawImage":
        """The disk as a raw image (see ``Image.to_raw``)."""
        if self._image is None:
            raise ValueError("this disk belongs to no open image")
        return self._image.to_raw(self.index, format, geometry)


class Image:
    """An open D88 image; made by ``d88image.open``.

    Use it as a context manager, or call ``close()``; its operations raise
    ValueError once it is closed. ``disks`` holds its Disks (``for disk in
    image`` goes through them). The sector operations on the image itself
    read the disk made current by ``select_disk``; a Disk's own read it
    whatever is selected.
    """

    def __init__(self, source: Union[str, bytes, bytearray, memoryview, _os.PathLike, Any],
                 name: Optional[str] = None) -> None:
        handle = c_void_p()
        self._handle: Optional[int] = None
        self._found: Optional[Tuple[ImageStatus, Tuple[Anomaly, ...], int]] = None
        if hasattr(source, "read"):
            data = source.read()
            if not isinstance(data, (bytes, bytearray)):
                raise TypeError("a file object is read for bytes: open it in binary mode ('rb')")
            if name is None:
                given = getattr(source, "name", "")
                name = _os.fsdecode(given) if isinstance(given, (str, bytes)) else ""
            source = data
        if isinstance(source, (bytes, bytearray, memoryview)):
            # The library reads the bytes in place: they are kept, unchanging,
            # as long as the image.
            self._data: Optional[bytes] = bytes(source)
            self._path = None
            self.name = name if name is not None else ""
            status = _lib.d88_open_memory(self._data, len(self._data), _os.fsencode(self.name), byref(handle))
        elif isinstance(source, (str, _os.PathLike)):
            if name is not None:
                raise TypeError("name is for an image given as bytes or a file object; a path names its image")
            self._data = None
            self._path = source
            self.name = _os.fsdecode(source)
            status = _lib.d88_open_path(_os.fsencode(source), byref(handle))
        else:
            raise TypeError("an image is opened from a path, bytes or a binary file object, not %s"
                            % type(source).__name__)
        self._handle = handle.value
        if status != 0:
            error = _error(status, self._handle, self.name)
            self.close()
            raise error
        self.disks: Tuple[Disk, ...] = tuple(self._disk(index) for index in range(_lib.d88_disk_count(self._handle)))

    def _disk(self, index: int) -> Disk:
        disk = _lib.d88_image_disk(self._handle, index)
        return Disk(index, _lib.d88_disk_offset(disk), _lib.d88_disk_size(disk), _lib.d88_disk_media(disk),
                    _lib.d88_disk_write_protect(disk), _lib.d88_disk_name(disk), self)

    def __enter__(self) -> "Image":
        return self

    def __exit__(self, *exception: object) -> None:
        self.close()

    def __del__(self) -> None:
        self.close()

    def __iter__(self) -> Iterator[Disk]:
        return iter(self.disks)

    def __len__(self) -> int:
        return len(self.disks)

    def __repr__(self) -> str:
        state = "closed" if self._handle is None else "%d disks" % len(self.disks)
        return "<d88image.Image %r, %s>" % (self.name, state)

    @property
    def closed(self) -> bool:
        """True once the image is closed."""
        return self._handle is None

    def close(self) -> None:
        """Frees the image; closing it again does nothing."""
        handle, self._handle = getattr(self, "_handle", None), None
        if handle is not None:
            _lib.d88_close(handle)

    def _check(self, status: int) -> None:
        if status != 0:
            raise _error(status, self._handle, self.name)

    def _open_handle(self) -> int:
        if self._handle is None:
            raise _closed()
        return self._handle

    # The survey's judgement

    def _survey(self) -> Tuple[ImageStatus, Tuple[Anomaly, ...], int]:
        if self._found is None:
            survey = c_void_p()
            self._check(_lib.d88_survey_image(self._open_handle(), byref(survey)))
            try:
                anomalies = []
                for i in range(_lib.d88_survey_anomaly_count(survey)):
                    a = _lib.d88_survey_anomaly(survey, i)
                    anomalies.append(Anomaly(_lib.d88_anomaly_kind(a).decode(), Severity(_lib.d88_anomaly_severity(a)),
                                             _lib.d88_anomaly_message(a).decode("utf-8", "replace"),
                                             _place(_lib.d88_anomaly_disk(a)), _place(_lib.d88_anomaly_track(a)),
                                             _place(_lib.d88_anomaly_offset(a))))
                self._found = (ImageStatus(_lib.d88_survey_condition(survey)), tuple(anomalies),
                               _lib.d88_survey_anomalies_left_out(survey))
            finally:
                _lib.d88_survey_free(survey)
        else:
            self._open_handle()
        return self._found

    @property
    def status(self) -> ImageStatus:
        """OK, DAMAGED or UNREADABLE, as the report's "status" says: from
        the survey d88info runs, made once, on first asking."""
        return self._survey()[0]

    @property
    def anomalies(self) -> Tuple[Anomaly, ...]:
        """What the survey found, damage and notes, as the report lists them
        (at most 10,000; ``anomalies_left_out`` counts the rest)."""
        return self._survey()[1]

    @property
    def anomalies_left_out(self) -> int:
        """The anomalies found past the 10,000 listed, only counted."""
        return self._survey()[2]

    # The reader's operations on the selected disk

    @property
    def selected_disk(self) -> Optional[int]:
        """The index of the selected disk, or None."""
        index = _lib.d88_selected_disk(self._open_handle())
        return None if index < 0 else index

    def select_disk(self, index: int) -> None:
        """Makes disk index the one the sector operations read; NoDiskError
        when there is none."""
        self._check(_lib.d88_select_disk(self._open_handle(), index))

    def read_sector(self, track: int, c: Union[int, SectorId], h: Optional[int] = None, r: Optional[int] = None,
                    n: Optional[int] = None, size: int = _MAX_SECTOR_DATA) -> bytes:
        """The data of the first sector on track of the selected disk with ID
        (c, h, r, n), or a SectorId in place of c, at most size bytes: empty
        when it is missing or empty, short when the file ends inside it."""
        id = _sector_id(c, h, r, n)
        buffer = create_string_buffer(size)
        copied = c_size_t()
        self._check(_lib.d88_read_sector(self._open_handle(), track, id._struct(), buffer, size, byref(copied)))
        return buffer.raw[:copied.value]

    def read_run(self, track: int, c: Union[int, SectorId], h: Optional[int] = None, r: Optional[int] = None,
                 n: Optional[int] = None, total: Optional[int] = None) -> Run:
        """Reads total bytes of consecutive sectors from ID (c, h, r, n) on
        (or read_run(track, sector_id, total)), a sector at a step, wrapping
        from the last sector number of the range (set_sector_range) to the
        first onto the next track; a step that falls short stops the run."""
        if isinstance(c, SectorId) and total is None:
            total, h = h, None
        if total is None:
            raise TypeError("read_run needs the total of bytes to read")
        id = _sector_id(c, h, r, n)
        buffer = create_string_buffer(total)
        whole, copied = c_size_t(), c_size_t()
        self._check(_lib.d88_read_run(self._open_handle(), track, id._struct(), buffer, total, byref(whole),
                                      byref(copied)))
        return Run(buffer.raw[:copied.value], whole.value)

    def set_sector_range(self, first: int, last: int) -> None:
        """The sector numbers read_run wraps between (initially 1 and 16)."""
        self._check(_lib.d88_set_sector_range(self._open_handle(), first, last))

    def list_sector_ids(self, track: int) -> List[SectorId]:
        """The ID of each record of track, in stored order; empty for an
        unusable track."""
        ids = (_native.SectorIdStruct * _MAX_RECORDS_PER_WALK)()
        count = c_size_t()
        self._check(_lib.d88_list_sector_ids(self._open_handle(), track, ids, _MAX_RECORDS_PER_WALK, byref(count)))
        return [SectorId(i.c, i.h, i.r, i.n) for i in ids[:count.value]]

    def _walk(self, track: int) -> Tuple[List[Record], WalkEnd]:
        records: List[Record] = []
        id = _native.SectorIdStruct()

        def visit(record, context):
            _lib.d88_record_id(record, byref(id))
            records.append(Record(_lib.d88_record_position(record), SectorId(id.c, id.h, id.r, id.n),
                                  _lib.d88_record_count(record), _lib.d88_record_density(record),
                                  _lib.d88_record_deleted(record), _lib.d88_record_status(record),
                                  _lib.d88_record_length(record)))
            return 1

        end = c_int()
        self._check(_lib.d88_walk_track(self._open_handle(), track, _native.RecordVisitor(visit), None, byref(end)))
        return records, WalkEnd(end.value)

    def walk_track(self, track: int) -> Tuple[List[Record], str]:
        """Walks the records of track as a search for a missing sector does;
        gives the records met and why the walk ended, as the report's key:
        "count", "zero-count", "end-of-file", "limit" (65,536 records without
        an end) or "unusable" (no usable track). ``Disk.walk`` gives a Walk."""
        records, end = self._walk(track)
        return records, end.key

    # The report, the map and the cut

    def _texts(self, call, decode=_text):
        text = c_void_p()
        length = c_size_t()
        self._check(call(self._open_handle(), byref(text), byref(length)))
        try:
            return decode(text.value, length.value)
        finally:
            _lib.d88_text_free(text)

    def report_json(self) -> str:
        """The text of the JSON document ``d88info --json`` prints for this
        image alone, byte for byte; an image opened from bytes is called by
        the name given to ``open``."""
        return self._texts(_lib.d88_report_json)

    def report(self) -> Report:
        """The report as a dict (``Report``): ``{"version": 1, "images":
        [IMAGE]}``, with the image's disks, tracks and records, its
        anomalies (damage and notes, with where they lie), what tablecut and
        scancut would write from it, and its status ("ok", "damaged",
        "unreadable"). Each disk's "tracks" is a sequence equal to the list
        it stands for, its records read from the image when first read (from
        its bytes or its path again once it is closed; ReadError if it
        changed in between); ``json.dumps(report)`` writes the report back
        as d88info --json has it."""
        from ._report import document

        data, path, name = self._data, self._path, self.name
        opened = _weakref.ref(self)  # the report does not hold the image open

        def whole() -> bytes:
            # An image opened from a path is read from that path by every
            # report in any case, so that opening it again reads the same.
            image = opened()
            if image is not None and image._handle is not None:
                return image._report_text(_TRACKS_LISTED)
            with Image(data, name) if data is not None else Image(path) as again:
                return again._report_text(_TRACKS_LISTED)

        def changed() -> ReadError:
            return ReadError(ErrorCode.READ, "%s: the image changed after its report was made" % name)

        return document(self._report_text(_TRACKS_COUNTED), whole, changed)

    def _report_text(self, tracks: int) -> bytes:
        return self._texts(lambda handle, text, length: _lib.d88_report(handle, tracks, text, length, None, None),
                           string_at)

    def map_svg(self) -> str:
        """The map ``d88info --map`` draws of this image, byte for byte: an
        SVG document with a panel per disk, a row per track and a cell per
        record. ReadError when the image cannot be read."""
        return self._texts(_lib.d88_map_svg)

    def _file_system(self, disk: int) -> "FileSystem":
        # The listings, made once each; their files read through them.
        listings = self.__dict__.setdefault("_listings", {})
        if disk not in listings:
            listings[disk] = _listing_of(self, disk)
        self._open_handle()
        return listings[disk]

    def to_raw(self, disk: Union[int, Disk], format: str = "raw", geometry: Optional[str] = None) -> "RawImage":
        """The raw image of a disk (an index or a Disk), as ``d88convert
        IMAGE OUT.img`` writes it: each track in track order, each sector in
        ascending R, zeros where the image holds no bytes; format "raw",
        "fdi" (after its 4 KiB header) or an extension of a raw kind ("hdm",
        "2d", ...); geometry "CxHxSxBYTES" (default: the one the survey
        judges the disk to have). ``findings`` say what the raw image could
        not hold as the D88 image held it. NoDiskError for no such disk,
        GeometryError when the disk has no geometry a raw image can hold,
        ValueError for a format or geometry that does not read."""
        index = disk.index if isinstance(disk, Disk) else disk
        raw = c_void_p()
        status = _lib.d88_disk_to_raw(self._open_handle(), index, format.encode(), _geometry_text(geometry),
                                      byref(raw))
        if status == ErrorCode.ARGUMENT:
            raise ValueError(_lib.d88_image_error(self._handle).decode("utf-8", "replace"))
        self._check(status)
        try:
            findings = []
            for kind in range(_lib.d88_raw_finding_kind_count()):
                count = _lib.d88_raw_image_finding_sectors(raw, kind)
                if count:
                    findings.append(_finding_of(raw, kind, count))
            size = _lib.d88_raw_image_size(raw)
            return RawImage(string_at(_lib.d88_raw_image_data(raw), size) if size else b"",
                            _lib.d88_raw_image_geometry(raw).decode(), bool(_lib.d88_raw_image_exact(raw)),
                            tuple(findings))
        finally:
            _lib.d88_raw_image_free(raw)

    def cut(self, mode: str = "auto", *, merge_with: Iterable["Image"] = (), merge: bool = False,
            merged_name: Optional[str] = None, folders_given: Iterable[str] = ()) -> Cut:
        """The files d88cut cuts from the image, in memory.

        mode: "table" as ``d88cut --table``, "scan" as ``--scan``, "auto" as
        neither (the table cutter when a disk is of a kind it knows, else the
        scanner); CUT_MODES lists them. merge_with: images cut with this one
        as one set kept in several files, into one folder (``--merge``);
        merge: a set even of this image alone; merged_name: the set's folder
        name (``--name``). folders_given: folder names d88cut gave images
        before this one in the same run (a second game.d88 goes to game-2).
        NotAnImageError when the input is no D88 image; OpenError or
        ReadError when it cannot be read.
        """
        if mode not in CUT_MODES:
            raise ValueError("mode must be one of %s, not %r" % (", ".join(CUT_MODES), mode))
        options = _lib.d88_cut_options_new()
        if not options:
            raise MemoryError("no memory for the cut's options")
        made = c_void_p()
        try:
            _lib.d88_cut_options_set_mode(options, mode.encode())
            _lib.d88_cut_options_set_merge(options, 1 if merge else 0)
            for other in merge_with:
                _lib.d88_cut_options_add_image(options, other._open_handle())
            if merged_name is not None and _lib.d88_cut_options_set_merged_name(options, merged_name.encode()):
                raise ValueError("merged_name is a folder name, not a path: %r" % merged_name)
            for folder in folders_given:
                _lib.d88_cut_options_add_folder(options, _os.fsencode(folder))
            self._check(_lib.d88_cut_image(self._open_handle(), options, byref(made)))
        finally:
            _lib.d88_cut_options_free(options)
        try:
            return _cut_of(made.value)
        finally:
            _lib.d88_cut_free(made)


def _cut_of(cut: int) -> Cut:
    files = []
    for i in range(_lib.d88_cut_file_count(cut)):
        f = _lib.d88_cut_file_at(cut, i)
        size = _lib.d88_cut_file_size(f)
        files.append(CutFile(_lib.d88_cut_file_name(f).decode(), string_at(_lib.d88_cut_file_data(f), size)
                             if size else b"", size, _lib.d88_cut_file_supplied(f), bool(_lib.d88_cut_file_complete(f)),
                             _lib.d88_cut_file_disk(f), _lib.d88_cut_file_image(f),
                             _lib.d88_cut_file_sha256(f).decode()))
    missing = []
    for i in range(_lib.d88_cut_missing_count(cut)):
        m = _lib.d88_cut_missing_at(cut, i)
        missing.append(MissingFile(_lib.d88_missing_file_name(m).decode(), _place(_lib.d88_missing_file_disk(m)),
                                   _lib.d88_missing_file_reason(m).decode("utf-8"),
                                   _place(_lib.d88_missing_file_image(m))))
    length = c_size_t()
    manifest = _text(_lib.d88_cut_manifest(cut, byref(length)), length.value)
    sums = _lib.d88_cut_checksums(cut, byref(length))
    return Cut(_lib.d88_cut_mode(cut).decode(), _os.fsdecode(_lib.d88_cut_folder(cut)), tuple(files), tuple(missing),
               manifest, _text(sums, length.value) if sums else None)


def open(source: Union[str, bytes, bytearray, memoryview, _os.PathLike, Any], name: Optional[str] = None) -> Image:
    """Opens a D88 image: a path (str or os.PathLike, as a pathlib.Path), the
    image's bytes (bytes, read in place; a bytearray or memoryview is copied
    once), or a binary file object (read whole). For bytes and file
    objects, name is what the report and the cut call the image (default
    "", or the file object's name); a path is called as given. Only a
    regular file is opened: FileNotFoundError, PermissionError or
    IsADirectoryError when the path cannot be, OpenError for another kind of
    file."""
    return Image(source, name)


# The files of a disk by its own file system

@_value
class Damage:
    """A fault of a file system or of a file's chain: what ("chain loops")
    and where ("cluster 12")."""

    what: str
    where: str


@_value
class DamagedSector:
    """A sector a file needs that is not whole and sound: its track and ID
    (track None and id None where a broken chain left its place unknown)
    and its fault: "missing", "short", "bad-status" or "deleted"."""

    track: Optional[int]
    id: Optional[SectorId]
    fault: str


class _Listing:
    """The C API's listing of a disk, kept while its files may be read."""

    def __init__(self, image: "Image", handle: int) -> None:
        self.image = image
        self.handle: Optional[int] = handle

    def __del__(self) -> None:
        handle, self.handle = self.handle, None
        if handle:
            _lib.d88_file_listing_free(handle)


@_value
class File:
    """A file of a disk's file system, as ``d88info --files`` lists it.

    path: its name as written (UTF-8, "/" between FAT12 folders; name is
    the last part); stored_name_hex: the name's bytes as stored; type:
    "basic", "machine-code", "ascii", "binary", "folder", ...; attributes in
    words; size in bytes; state: "complete", "incomplete" (written
    zero-padded), "missing" (the image holds none of its bytes), "deleted"
    (listed, never written) or "folder"; load, exec and end addresses and
    date where the file system keeps them; damaged_sectors: the sectors it
    needs that are not whole and sound; damage: its chain's faults.
    ``read()`` gives its bytes.
    """

    path: str
    stored_name_hex: str
    type: str
    attributes: Tuple[str, ...]
    size: int
    state: str
    load_address: Optional[int]
    exec_address: Optional[int]
    end_address: Optional[int]
    date: Optional[str]
    damaged_sectors: Tuple[DamagedSector, ...] = _field(repr=False)
    damage: Tuple[Damage, ...] = _field(repr=False)
    _listing: Optional[_Listing] = _field(default=None, repr=False, compare=False)
    _index: int = _field(default=0, repr=False, compare=False)

    @property
    def name(self) -> str:
        """The last part of path."""
        return self.path.rsplit("/", 1)[-1]

    @property
    def complete(self) -> bool:
        """True when the disk holds every byte of the file."""
        return self.state == "complete"

    @property
    def deleted(self) -> bool:
        """True for a deleted entry (listed, never written)."""
        return self.state == "deleted"

    def read(self) -> bytes:
        """The file's bytes as d88cut --files writes them: what the disk
        holds, zeros for what it lacks (see ``complete``); empty for a
        deleted entry, a missing file and a folder. ValueError once the
        image is closed."""
        listing = self._listing
        if listing is None or listing.handle is None:
            raise ValueError("this file belongs to no open image")
        handle = listing.image._open_handle()
        data, size = c_void_p(), c_size_t()
        listing.image._check(_lib.d88_listed_file_bytes(handle, listing.handle,
                                                        _lib.d88_file_listing_file(listing.handle, self._index),
                                                        byref(data), byref(size), None))
        try:
            return string_at(data.value, size.value) if size.value else b""
        finally:
            _lib.d88_bytes_free(data)


@_value
class FileSystem:
    """A disk's own file system: found (False: none the library reads,
    which is no damage), type ("n88-basic", "hu-basic", "fat12", "f-basic";
    "" when none), name ("N88-BASIC 2D"), reason (why it, or why none, in a
    line), free_bytes, damage (its own faults) and files."""

    found: bool
    type: str
    name: str
    reason: str
    free_bytes: int
    damage: Tuple[Damage, ...] = _field(repr=False)
    files: Tuple[File, ...] = _field(repr=False)


def _damage(count: int, what, where) -> Tuple[Damage, ...]:
    return tuple(Damage(what(i).decode("utf-8", "replace"), where(i).decode("utf-8", "replace"))
                 for i in range(count))


def _address(value: int) -> Optional[int]:
    return None if value < 0 else value


def _file_of(listing: _Listing, index: int) -> File:
    f = _lib.d88_file_listing_file(listing.handle, index)
    sectors = []
    track, id = c_int(), _native.SectorIdStruct()
    for i in range(_lib.d88_listed_file_damaged_sector_count(f)):
        fault = _lib.d88_listed_file_damaged_sector(f, i, byref(track), byref(id)).decode()
        placed = track.value >= 0
        sectors.append(DamagedSector(track.value if placed else None,
                                     SectorId(id.c, id.h, id.r, id.n) if placed else None, fault))
    date = _lib.d88_listed_file_date(f).decode()
    return File(_lib.d88_listed_file_path(f).decode("utf-8", "replace"), _lib.d88_listed_file_stored_name_hex(f).decode(),
                _lib.d88_listed_file_type(f).decode(),
                tuple(_lib.d88_listed_file_attribute(f, i).decode()
                      for i in range(_lib.d88_listed_file_attribute_count(f))),
                _lib.d88_listed_file_size(f), _lib.d88_listed_file_state(f).decode(),
                _address(_lib.d88_listed_file_load_address(f)), _address(_lib.d88_listed_file_exec_address(f)),
                _address(_lib.d88_listed_file_end_address(f)), date or None, tuple(sectors),
                _damage(_lib.d88_listed_file_damage_count(f), lambda i: _lib.d88_listed_file_damage_what(f, i),
                        lambda i: _lib.d88_listed_file_damage_where(f, i)),
                listing, index)


def _listing_of(image: "Image", disk: int) -> FileSystem:
    handle = c_void_p()
    image._check(_lib.d88_list_files(image._open_handle(), disk, byref(handle)))
    listing = _Listing(image, handle.value)
    h = listing.handle
    return FileSystem(bool(_lib.d88_file_listing_found(h)), _lib.d88_file_listing_type(h).decode(),
                      _lib.d88_file_listing_name(h).decode("utf-8", "replace"),
                      _lib.d88_file_listing_reason(h).decode("utf-8", "replace"), _lib.d88_file_listing_free_bytes(h),
                      _damage(_lib.d88_file_listing_damage_count(h), lambda i: _lib.d88_file_listing_damage_what(h, i),
                              lambda i: _lib.d88_file_listing_damage_where(h, i)),
                      tuple(_file_of(listing, i) for i in range(_lib.d88_file_listing_file_count(h))))


# Conversion

@_value
class SectorRun:
    """Sectors R first_r..last_r of each track from track to last_track."""

    track: int
    last_track: int
    first_r: int
    last_r: int


@_value
class RawFinding:
    """One kind of what a raw image could not hold as the D88 image held
    it: kind ("missing", "cut-short", "other-size", "bad-status",
    "deleted", ...), text (its words, said of sectors, as d88convert says
    them), sectors (how many), runs (their places, at most 256) and
    runs_left_out (how many runs more)."""

    kind: str
    text: str
    sectors: int
    runs: Tuple[SectorRun, ...]
    runs_left_out: int


@_value
class RawImage:
    """A disk as a raw image: data, its geometry in words ("40 x 2 x 16 x
    256"), exact (True when it holds the disk exactly: d88convert's status
    0) and findings, one RawFinding per kind found."""

    data: bytes = _field(repr=False)
    geometry: str
    exact: bool
    findings: Tuple[RawFinding, ...]


def _finding_of(raw: int, kind: int, count: int) -> RawFinding:
    runs = []
    values = [c_int() for _ in range(4)]
    for i in range(_lib.d88_raw_image_finding_run_count(raw, kind)):
        _lib.d88_raw_image_finding_run(raw, kind, i, *[byref(v) for v in values])
        runs.append(SectorRun(*[v.value for v in values]))
    return RawFinding(_lib.d88_raw_finding_key(kind).decode(), _lib.d88_raw_finding_text(kind).decode(), count,
                      tuple(runs), _lib.d88_raw_image_finding_runs_left_out(raw, kind))


def _geometry_text(geometry: Union[None, str, Tuple[int, int, int, int]]) -> Optional[bytes]:
    if geometry is None:
        return None
    if not isinstance(geometry, str):
        geometry = "x".join(str(int(part)) for part in geometry)
    return geometry.encode()


def from_raw(data: Union[bytes, bytearray, memoryview], geometry: Union[None, str, Tuple[int, int, int, int]] = None,
             format: str = "raw") -> bytes:
    """The D88 image (its bytes, one disk) of a raw image, as ``d88convert
    IN.img OUT.d88`` makes it; ``d88image.open(from_raw(raw))`` opens it.

    geometry: "CxHxSxBYTES" ("40x2x16x256") or a tuple (cylinders, heads,
    sectors, bytes); default: the one format names ("2d", "2dd", "hdm",
    ...; "fdi": its header's), else the one the size is of, a size two
    kinds share settled by a FAT boot sector's fields. GeometryError, saying
    why, when none can be chosen (the size is ambiguous or unknown, or does
    not match the geometry); ValueError for a format or geometry that does
    not read."""
    data = bytes(data)
    made = c_void_p()
    status = _lib.d88_raw_to_d88(data, len(data), format.encode(), _geometry_text(geometry), byref(made))
    try:
        if status == ErrorCode.ARGUMENT:
            raise ValueError("format must name a raw format (raw, fdi, 2d, hdm, ...) and geometry be CxHxSxBYTES, "
                             "not %r and %r" % (format, geometry))
        if status != 0:
            message = _lib.d88_made_image_error(made).decode("utf-8", "replace") if made.value else ""
            raise _ERRORS.get(status, D88Error)(status, message or _lib.d88_status_text(status).decode())
        size = _lib.d88_made_image_size(made)
        return string_at(_lib.d88_made_image_data(made), size)
    finally:
        _lib.d88_made_image_free(made)
