"""The C API of the d88image library (<d88image/d88.h>), declared for ctypes.

The shared library is looked for, in this order: at the path in the
environment variable D88IMAGE_LIBRARY; inside this package, where
``pip install`` puts it; where ``cmake --install`` put it, as recorded in
``_installed.py``; and by its name through the system's loader.
"""

import ctypes
import os
from ctypes import CFUNCTYPE, POINTER, Structure, c_char_p, c_int, c_longlong, c_size_t, c_ubyte, c_uint32, \
    c_uint64, c_void_p

from ._library_name import LIBRARY_NAME

# The numbers of d88.h this package uses, under the header's names; the
# C API's tests (tests/c_api/bindings_test.cpp) check each against it.
# d88.h numbers: begin
C_API = {
    "D88_API_VERSION": 2,
    "D88_OK": 0,
    "D88_ERR_ARGUMENT": 1,
    "D88_ERR_MEMORY": 2,
    "D88_ERR_OPEN": 3,
    "D88_ERR_READ": 4,
    "D88_ERR_NO_DISK": 5,
    "D88_ERR_NOT_AN_IMAGE": 6,
    "D88_ERR_CONVERT": 7,
    "D88_MAX_SECTOR_DATA": 65535,
    "D88_MAX_RECORDS_PER_WALK": 65536,
    "D88_WALK_UNUSABLE": 0,
    "D88_WALK_COUNT": 1,
    "D88_WALK_ZERO_COUNT": 2,
    "D88_WALK_END_OF_FILE": 3,
    "D88_WALK_LIMIT": 4,
    "D88_WALK_STOPPED": 5,
    "D88_CONDITION_OK": 0,
    "D88_CONDITION_DAMAGED": 1,
    "D88_CONDITION_UNREADABLE": 2,
    "D88_CONDITION_NOT_AN_IMAGE": 3,
    "D88_SEVERITY_NOTE": 0,
    "D88_SEVERITY_DAMAGE": 1,
    "D88_TRACKS_LISTED": 0,
    "D88_TRACKS_COUNTED": 1,
    "sizeof(d88_sector_id)": 4,
    "offsetof(d88_sector_id, c)": 0,
    "offsetof(d88_sector_id, h)": 1,
    "offsetof(d88_sector_id, r)": 2,
    "offsetof(d88_sector_id, n)": 3,
}
# d88.h numbers: end


class SectorIdStruct(Structure):
    _fields_ = [(name, c_ubyte) for name in sorted("chrn", key=lambda name: C_API["offsetof(d88_sector_id, %s)" % name])]


assert ctypes.sizeof(SectorIdStruct) == C_API["sizeof(d88_sector_id)"]

RecordVisitor = CFUNCTYPE(c_int, c_void_p, c_void_p)

_image = c_void_p
_object = c_void_p  # a disk, a record, a survey, an anomaly, cut options, a cut, a file of it
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
    "d88_image_errno": (c_int, [_image]),
    "d88_disk_count": (c_int, [_image]),
    "d88_image_disk": (_object, [_image, c_int]),
    "d88_disk_index": (c_int, [_object]),
    "d88_disk_offset": (c_uint64, [_object]),
    "d88_disk_size": (c_uint32, [_object]),
    "d88_disk_media": (c_int, [_object]),
    "d88_disk_write_protect": (c_int, [_object]),
    "d88_disk_name": (c_char_p, [_object]),
    "d88_select_disk": (_status, [_image, c_int]),
    "d88_selected_disk": (c_int, [_image]),
    "d88_read_sector": (_status, [_image, c_int, SectorIdStruct, c_void_p, c_size_t, POINTER(c_size_t)]),
    "d88_read_run": (_status, [_image, c_int, SectorIdStruct, c_void_p, c_size_t, POINTER(c_size_t),
                               POINTER(c_size_t)]),
    "d88_set_sector_range": (_status, [_image, c_int, c_int]),
    "d88_list_sector_ids": (_status, [_image, c_int, POINTER(SectorIdStruct), c_size_t, POINTER(c_size_t)]),
    "d88_record_position": (c_uint64, [_object]),
    "d88_record_id": (None, [_object, POINTER(SectorIdStruct)]),
    "d88_record_count": (c_int, [_object]),
    "d88_record_density": (c_int, [_object]),
    "d88_record_deleted": (c_int, [_object]),
    "d88_record_status": (c_int, [_object]),
    "d88_record_length": (c_int, [_object]),
    "d88_record_status_text": (c_char_p, [c_int]),
    "d88_walk_track": (_status, [_image, c_int, RecordVisitor, c_void_p, POINTER(c_int)]),
    "d88_condition_key": (c_char_p, [c_int]),
    "d88_severity_key": (c_char_p, [c_int]),
    "d88_survey_image": (_status, [_image, POINTER(_object)]),
    "d88_survey_free": (None, [_object]),
    "d88_survey_condition": (c_int, [_object]),
    "d88_survey_error": (c_char_p, [_object]),
    "d88_survey_anomaly_count": (c_size_t, [_object]),
    "d88_survey_anomalies_left_out": (c_size_t, [_object]),
    "d88_survey_anomaly": (_object, [_object, c_size_t]),
    "d88_anomaly_kind": (c_char_p, [_object]),
    "d88_anomaly_severity": (c_int, [_object]),
    "d88_anomaly_message": (c_char_p, [_object]),
    "d88_anomaly_disk": (c_int, [_object]),
    "d88_anomaly_track": (c_int, [_object]),
    "d88_anomaly_offset": (c_longlong, [_object]),
    "d88_report_json": (_status, [_image, POINTER(c_void_p), POINTER(c_size_t)]),
    "d88_map_svg": (_status, [_image, POINTER(c_void_p), POINTER(c_size_t)]),
    "d88_report": (_status, [_image, c_int, POINTER(c_void_p), POINTER(c_size_t), POINTER(c_void_p),
                             POINTER(c_size_t)]),
    "d88_text_free": (None, [c_void_p]),
    "d88_cutter_count": (c_int, []),
    "d88_cutter_key": (c_char_p, [c_int]),
    "d88_cut_options_new": (_object, []),
    "d88_cut_options_free": (None, [_object]),
    "d88_cut_options_set_mode": (_status, [_object, c_char_p]),
    "d88_cut_options_add_folder": (_status, [_object, c_char_p]),
    "d88_cut_options_add_image": (_status, [_object, _image]),
    "d88_cut_options_set_merge": (_status, [_object, c_int]),
    "d88_cut_options_set_merged_name": (_status, [_object, c_char_p]),
    "d88_cut_image": (_status, [_image, _object, POINTER(_object)]),
    "d88_cut_free": (None, [_object]),
    "d88_cut_mode": (c_char_p, [_object]),
    "d88_cut_folder": (c_char_p, [_object]),
    "d88_cut_file_count": (c_size_t, [_object]),
    "d88_cut_file_at": (_object, [_object, c_size_t]),
    "d88_cut_missing_count": (c_size_t, [_object]),
    "d88_cut_missing_at": (_object, [_object, c_size_t]),
    "d88_cut_manifest": (c_void_p, [_object, POINTER(c_size_t)]),
    "d88_cut_checksums": (c_void_p, [_object, POINTER(c_size_t)]),
    "d88_cut_file_name": (c_char_p, [_object]),
    "d88_cut_file_data": (c_void_p, [_object]),
    "d88_cut_file_size": (c_size_t, [_object]),
    "d88_cut_file_supplied": (c_size_t, [_object]),
    "d88_cut_file_complete": (c_int, [_object]),
    "d88_cut_file_disk": (c_int, [_object]),
    "d88_cut_file_image": (c_int, [_object]),
    "d88_cut_file_sha256": (c_char_p, [_object]),
    "d88_missing_file_name": (c_char_p, [_object]),
    "d88_missing_file_disk": (c_int, [_object]),
    "d88_missing_file_image": (c_int, [_object]),
    "d88_missing_file_reason": (c_char_p, [_object]),
    "d88_list_files": (_status, [_image, c_int, POINTER(_object)]),
    "d88_file_listing_free": (None, [_object]),
    "d88_file_listing_found": (c_int, [_object]),
    "d88_file_listing_disk": (c_int, [_object]),
    "d88_file_listing_type": (c_char_p, [_object]),
    "d88_file_listing_name": (c_char_p, [_object]),
    "d88_file_listing_reason": (c_char_p, [_object]),
    "d88_file_listing_free_bytes": (c_uint64, [_object]),
    "d88_file_listing_damage_count": (c_size_t, [_object]),
    "d88_file_listing_damage_what": (c_char_p, [_object, c_size_t]),
    "d88_file_listing_damage_where": (c_char_p, [_object, c_size_t]),
    "d88_file_listing_file_count": (c_size_t, [_object]),
    "d88_file_listing_file": (_object, [_object, c_size_t]),
    "d88_listed_file_path": (c_char_p, [_object]),
    "d88_listed_file_stored_name_hex": (c_char_p, [_object]),
    "d88_listed_file_type": (c_char_p, [_object]),
    "d88_listed_file_attribute_count": (c_size_t, [_object]),
    "d88_listed_file_attribute": (c_char_p, [_object, c_size_t]),
    "d88_listed_file_size": (c_uint64, [_object]),
    "d88_listed_file_load_address": (c_longlong, [_object]),
    "d88_listed_file_exec_address": (c_longlong, [_object]),
    "d88_listed_file_end_address": (c_longlong, [_object]),
    "d88_listed_file_date": (c_char_p, [_object]),
    "d88_listed_file_state": (c_char_p, [_object]),
    "d88_listed_file_complete": (c_int, [_object]),
    "d88_listed_file_deleted": (c_int, [_object]),
    "d88_listed_file_damaged_sector_count": (c_size_t, [_object]),
    "d88_listed_file_damaged_sector": (c_char_p, [_object, c_size_t, POINTER(c_int), POINTER(SectorIdStruct)]),
    "d88_listed_file_damage_count": (c_size_t, [_object]),
    "d88_listed_file_damage_what": (c_char_p, [_object, c_size_t]),
    "d88_listed_file_damage_where": (c_char_p, [_object, c_size_t]),
    "d88_listed_file_read": (_status, [_image, _object, _object, c_void_p, c_size_t, POINTER(c_size_t)]),
    "d88_listed_file_bytes": (_status, [_image, _object, _object, POINTER(c_void_p), POINTER(c_size_t),
                                        POINTER(c_size_t)]),
    "d88_bytes_free": (None, [c_void_p]),
    "d88_disk_to_raw": (_status, [_image, c_int, c_char_p, c_char_p, POINTER(_object)]),
    "d88_raw_image_free": (None, [_object]),
    "d88_raw_image_data": (c_void_p, [_object]),
    "d88_raw_image_size": (c_size_t, [_object]),
    "d88_raw_image_geometry": (c_char_p, [_object]),
    "d88_raw_image_exact": (c_int, [_object]),
    "d88_raw_finding_kind_count": (c_int, []),
    "d88_raw_finding_key": (c_char_p, [c_int]),
    "d88_raw_finding_text": (c_char_p, [c_int]),
    "d88_raw_image_finding_sectors": (c_size_t, [_object, c_int]),
    "d88_raw_image_finding_run_count": (c_size_t, [_object, c_int]),
    "d88_raw_image_finding_runs_left_out": (c_size_t, [_object, c_int]),
    "d88_raw_image_finding_run": (_status, [_object, c_int, c_size_t, POINTER(c_int), POINTER(c_int), POINTER(c_int),
                                            POINTER(c_int)]),
    "d88_raw_to_d88": (_status, [c_char_p, c_size_t, c_char_p, c_char_p, POINTER(_object)]),
    "d88_made_image_free": (None, [_object]),
    "d88_made_image_data": (c_void_p, [_object]),
    "d88_made_image_size": (c_size_t, [_object]),
    "d88_made_image_geometry": (c_char_p, [_object]),
    "d88_made_image_geometry_from": (c_char_p, [_object]),
    "d88_made_image_error": (c_char_p, [_object]),
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
        library.d88_api_version.restype = c_int
        if library.d88_api_version() != C_API["D88_API_VERSION"]:
            tried.append("%s: C API version %d, not %d" % (candidate, library.d88_api_version(),
                                                           C_API["D88_API_VERSION"]))
            continue
        lacking = [name for name in _PROTOTYPES if not hasattr(library, name)]
        if lacking:
            # A library older than this package, of the same interface version.
            tried.append("%s: lacks %s (older than this package)" % (candidate, ", ".join(lacking[:3])))
            continue
        for name, (result, arguments) in _PROTOTYPES.items():
            function = getattr(library, name)
            function.restype = result
            function.argtypes = arguments
        return library
    raise ImportError("the d88image library cannot be loaded: " + "; ".join(tried))


lib = _load()
