"""The C API of the d88image library (<d88image/d88.h>), declared for ctypes.

The shared library is looked for, in this order: at the path in the
environment variable D88IMAGE_LIBRARY; inside this package, where
``pip install`` puts it; where ``cmake --install`` put it, as recorded in
``_installed.py``; and by its name through the system's loader.
"""

import ctypes
import os
from ctypes import (CFUNCTYPE, POINTER, Structure, c_char, c_char_p, c_int, c_size_t, c_ubyte, c_uint32,
                    c_uint64, c_void_p)

from ._library_name import LIBRARY_NAME

API_VERSION = 1



class SectorIdStruct(Structure):
    _fields_ = [("c", c_ubyte), ("h", c_ubyte), ("r", c_ubyte), ("n", c_ubyte)]


class DiskStruct(Structure):
    _fields_ = [("offset", c_uint64), ("size", c_uint32), ("media", c_int), ("write_protect", c_int),
                ("name", c_char * 17)]


class RecordStruct(Structure):
    _fields_ = [("position", c_uint64), ("id", SectorIdStruct), ("count", c_int), ("density", c_int),
                ("deleted", c_int), ("status", c_int), ("length", c_int)]


class CutFileStruct(Structure):
    _fields_ = [("name", c_char_p), ("data", c_void_p), ("size", c_size_t), ("supplied", c_size_t),
                ("disk", c_int), ("complete", c_int)]


class MissingFileStruct(Structure):
    _fields_ = [("name", c_char_p), ("disk", c_int), ("reason", c_char_p)]


class CutStruct(Structure):
    _fields_ = [("mode", c_char_p), ("file_count", c_size_t), ("files", POINTER(CutFileStruct)),
                ("missing_count", c_size_t), ("missing", POINTER(MissingFileStruct)),
                ("manifest", c_void_p), ("manifest_length", c_size_t),
                ("checksums", c_void_p), ("checksums_length", c_size_t)]


RecordVisitor = CFUNCTYPE(c_int, POINTER(RecordStruct), c_void_p)

_image = c_void_p
_status = c_int

# name: (result, argument types)
_PROTOTYPES = {
    "d88_status_text": (c_char_p, [c_int]),
    "d88_version": (c_char_p, []),
    "d88_api_version": (c_int, []),
    "d88_open_path": (_status, [c_char_p, POINTER(_image)]),
    "d88_open_memory": (_status, [c_char_p, c_size_t, c_char_p, POINTER(_image)]),
    "d88_close": (None, [_image]),
    "d88_image_error": (c_char_p, [_image]),
    "d88_disk_count": (c_int, [_image]),
    "d88_disk_info": (_status, [_image, c_int, POINTER(DiskStruct)]),
    "d88_select_disk": (_status, [_image, c_int]),
    "d88_selected_disk": (c_int, [_image]),
    "d88_read_sector": (_status, [_image, c_int, SectorIdStruct, c_void_p, c_size_t, POINTER(c_size_t)]),
    "d88_read_run": (_status, [_image, c_int, SectorIdStruct, c_void_p, c_size_t, POINTER(c_size_t),
                               POINTER(c_size_t)]),
    "d88_set_sector_range": (_status, [_image, c_int, c_int]),
    "d88_list_sector_ids": (_status, [_image, c_int, POINTER(SectorIdStruct), c_size_t, POINTER(c_size_t)]),
    "d88_walk_track": (_status, [_image, c_int, RecordVisitor, c_void_p, POINTER(c_int)]),
    "d88_report_json": (_status, [_image, POINTER(c_void_p), POINTER(c_size_t)]),
    "d88_text_free": (None, [c_void_p]),
    "d88_cut_image": (_status, [_image, c_int, POINTER(POINTER(CutStruct))]),
    "d88_cut_free": (None, [POINTER(CutStruct)]),
}


def _candidates():
    here = os.path.dirname(os.path.abspath(__file__))
    given = os.environ.get("D88IMAGE_LIBRARY")
    if given:
        yield given
        return
    yield os.path.join(here, LIBRARY_NAME)
    try:
        from ._installed import LIBRARY
    except ImportError:
        pass
    else:
        yield os.path.normpath(os.path.join(here, LIBRARY))
    yield LIBRARY_NAME


def _load():
    tried = []
    for candidate in _candidates():
        if os.sep in candidate and not os.path.exists(candidate):
            tried.append(candidate + ": no such file")
            continue
        try:
            library = ctypes.CDLL(candidate)
        except OSError as error:
            tried.append(str(error))
            continue
        for name, (result, arguments) in _PROTOTYPES.items():
            function = getattr(library, name)
            function.restype = result
            function.argtypes = arguments
        if library.d88_api_version() != API_VERSION:
            tried.append("%s: C API version %d, not %d" % (candidate, library.d88_api_version(), API_VERSION))
            continue
        return library
    raise ImportError("the d88image library cannot be loaded: " + "; ".join(tried))


lib = _load()
