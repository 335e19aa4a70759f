"""The report's type: the JSON document d88info --json prints, as json.loads
reads it (``Image.report()``), for type checkers and readers. Members marked
optional may be absent. Imported when first named: ``typing`` is a good part
of an import that every reading of one image pays."""

from typing import List, Optional, Sequence, TypedDict


class RecordReport(TypedDict):
    position: int
    c: int
    h: int
    r: int
    n: int
    count: int
    density: int
    deleted: int
    status: int
    length: int
    present: int  # the data bytes in the file
    state: str    # "whole", "short", ...


class TrackReport(TypedDict):
    index: int
    offset: int
    usable: bool
    walk_end: str
    record_count: int
    track_records: int
    count_byte_swapped: bool
    records: List[RecordReport]


class GeometryReport(TypedDict):
    cylinders: int
    heads: int
    sectors: int
    sector_size: int
    tracks: int
    other_tracks: int


class DiskReport(TypedDict):
    index: int
    offset: int
    name: str
    name_hex: str
    media: int
    media_name: str
    write_protect: int
    write_protected: bool
    size: int
    bytes_present: int
    header_size: int
    track_entries: int
    unused_entries: int
    same_as: Optional[int]
    blank: bool
    kind: Optional[str]  # "program", "scenario", "event", or None
    tracks: Sequence[TrackReport]  # decoded on first reading: equal to the list
    geometry: GeometryReport


class AnomalyReport(TypedDict):
    kind: str
    severity: str  # "damage" or "note"
    message: str
    # optional: disk, track, position (int)


class PlannedFileReport(TypedDict):
    name: str
    disk: int
    size: int
    written: bool
    supplied: int
    complete: bool
    padded_from: Optional[int]
    first_block: Optional[int]
    replaced: bool
    reason: Optional[str]


class ImageReport(TypedDict):
    path: str  # optional path_hex beside it when the path is not UTF-8
    size: int
    disk_count: int
    disks: List[DiskReport]
    trailing_bytes: int
    anomalies: List[AnomalyReport]  # optional anomalies_left_out (int) after it
    tablecut: List[PlannedFileReport]
    scancut: List[PlannedFileReport]
    status: str  # "ok", "damaged" or "unreadable"; optional error (str)


class Report(TypedDict):
    """``Image.report()``: ``{"version": 1, "images": [ImageReport]}``."""

    version: int
    images: List[ImageReport]
