/* The d88image C API: D88 floppy-disk images read without trusting them,
 * for programs in C and for other languages' bindings. C99; every name
 * starts with d88_ or D88_. An image is an opaque handle, opened from a
 * path or from bytes in memory; through it go the reader's operations (the
 * disks, sectors by their ID bytes, the walk over a track's records), the
 * survey's judgement (the image's condition and its anomalies), the report
 * that d88info --json prints, the cut that d88cut makes, held in memory,
 * with its options, the files of a disk by its own file system, and the
 * conversions d88convert makes to and from raw images.
 *
 * Every object handed out is opaque and read through accessors, so that it
 * can grow; only d88_sector_id, four bytes fixed by the format, has its
 * members in view. Every function that can fail returns a d88_status;
 * D88_OK is 0. d88_status_text names a status, d88_image_error gives the
 * details of the last call on an image (the system's reason, the disk
 * asked for) and d88_image_errno the system's error number. Nothing
 * is thrown across this interface, and every allocation handed out has its
 * own free function. A handle is used by one thread at a time; separate
 * handles are independent.
 *
 * Built as the shared library libd88image.so.1 (pkg-config d88image-c,
 * CMake target d88image::c); docs/c-api.md is its reference. */
#ifndef D88IMAGE_D88_H
#define D88IMAGE_D88_H

#include <stddef.h>
#include <stdint.h>

#include <d88image/d88_version.h>

/* The version of this interface: raised when a function changes its
 * meaning; d88_api_version() gives the library's. */
#define D88_API_VERSION 2

#if defined(_WIN32)
#if defined(D88_BUILDING_C_API)
#define D88_API __declspec(dllexport)
#else
#define D88_API __declspec(dllimport)
#endif
#elif defined(__GNUC__)
#define D88_API __attribute__((visibility("default")))
#else
#define D88_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef enum d88_status {
    D88_OK = 0,
    D88_ERR_ARGUMENT = 1,     /* a pointer that must not be null is, or a value is out of range */
    D88_ERR_MEMORY = 2,       /* memory could not be had */
    D88_ERR_OPEN = 3,         /* the image cannot be opened: missing, not a regular file, no permission */
    D88_ERR_READ = 4,         /* a read of the image failed part way (an I/O error) */
    D88_ERR_NO_DISK = 5,      /* no disk of that index, or no disk selected */
    D88_ERR_NOT_AN_IMAGE = 6, /* nothing in the input is a D88 disk: there is nothing to cut */
    D88_ERR_CONVERT = 7       /* a conversion cannot be made: no geometry fits, or none can be chosen */
} d88_status;

/* A sentence naming the status, in English; never null. */
D88_API const char* d88_status_text(d88_status status);

/* The library's release ("1.2.0", as D88_VERSION_STRING where it was
 * built) and the D88_API_VERSION it was built with. */
D88_API const char* d88_version(void);
D88_API int d88_api_version(void);

typedef struct d88_image d88_image;

/* Opens the D88 file at path and indexes its disks (at most 64, following
 * each header's disk size). Only a regular file (or a link to one) is
 * opened. On success *image is a new handle; on D88_ERR_OPEN or
 * D88_ERR_READ, *image is still a handle, with no disks, whose
 * d88_image_error says why: close it as any other. *image is null only on
 * D88_ERR_ARGUMENT and D88_ERR_MEMORY. A file shorter than one disk header
 * opens with 0 disks. The file is read as needed, never loaded whole. */
D88_API d88_status d88_open_path(const char* path, d88_image** image);

/* As d88_open_path, over the size bytes at data, with the same results,
 * reading nothing from the operating system. The bytes are not copied: they
 * must stay valid and unchanged until the handle is closed. name is what the
 * report and the cut call the image, as d88info and d88cut call a file by
 * its path; null is "". data may be null when size is 0. */
D88_API d88_status d88_open_memory(const void* data, size_t size, const char* name, d88_image** image);

/* Frees the handle and every disk it handed out; null is allowed. */
D88_API void d88_close(d88_image* image);

/* The details of the last call on image: empty after one that succeeded.
 * Valid until the next call on the handle; "" for a null handle. */
D88_API const char* d88_image_error(const d88_image* image);

/* The system's error number (errno) behind the last call's failure, as
 * ENOENT for a missing file or EISDIR for a folder; 0 after a success, for
 * a failure the system gave no number for (a FIFO, not a D88 image), and
 * for a null handle. */
D88_API int d88_image_errno(const d88_image* image);

/* The number of disks indexed; 0 for a null handle. */
D88_API int d88_disk_count(const d88_image* image);

/* One disk of an image, as its header says; owned by the image. */
typedef struct d88_disk d88_disk;

/* Disk index (0..count-1), or null when there is no such disk (or image is
 * null). It lives until d88_close. */
D88_API const d88_disk* d88_image_disk(const d88_image* image, int index);

/* A disk's facts, read from its header at open; for a null disk, 0 and "". */
D88_API int d88_disk_index(const d88_disk* disk);        /* its place in the file: 0, 1, ... */
D88_API uint64_t d88_disk_offset(const d88_disk* disk);  /* file offset of its header */
D88_API uint32_t d88_disk_size(const d88_disk* disk);    /* the header's disk size field */
D88_API int d88_disk_media(const d88_disk* disk);        /* 0x00 2D, 0x10 2DD, 0x20 2HD, or another byte */
D88_API int d88_disk_write_protect(const d88_disk* disk); /* 0x00 writable, 0x10 protected */
/* The stored name bytes up to the first NUL (at most 16), NUL-terminated;
 * no character set implied. */
D88_API const char* d88_disk_name(const d88_disk* disk);

/* Makes disk index the one the sector operations read. D88_ERR_NO_DISK
 * when there is no such disk; no disk is selected then. */
D88_API d88_status d88_select_disk(d88_image* image, int index);

/* The selected disk's index, or -1 when none is. */
D88_API int d88_selected_disk(const d88_image* image);

/* The four ID bytes recorded with a sector: cylinder, head, sector number
 * and size code (nominal size 128 << n bytes). Four bytes in this order,
 * fixed by the format: the one struct of this interface with its members
 * in view. */
typedef struct d88_sector_id {
    unsigned char c, h, r, n;
} d88_sector_id;

/* The most a sector's data can hold (its 16-bit length field), and the
 * most records a walk visits: a buffer of that many IDs always holds a
 * track's whole list. */
#define D88_MAX_SECTOR_DATA 65535
#define D88_MAX_RECORDS_PER_WALK 65536

/* The operations below read the selected disk (D88_ERR_NO_DISK when none
 * is) and give D88_ERR_READ once a read of the image has failed other than
 * by meeting its end. A track is usable when its index is 0..163 and its
 * offset is non-zero and within the disk's size; an unusable track, a
 * missing sector or an empty one reads as 0 bytes, with D88_OK. */

/* Copies the data of the first sector on track whose ID is id into dest, at
 * most capacity bytes; *copied is the number of bytes copied, fewer than
 * the sector's length when the file ends inside its data. */
D88_API d88_status d88_read_sector(d88_image* image, int track, d88_sector_id id, void* dest, size_t capacity,
                                   size_t* copied);

/* Reads total bytes of consecutive sectors from id on, a sector at a step,
 * wrapping from the last sector number of the range (d88_set_sector_range)
 * to the first onto the next track. *whole is the bytes of the steps read in
 * full; a step that falls short stops the run. *copied, when not null, is
 * the bytes that reached dest, the short step's included. */
D88_API d88_status d88_read_run(d88_image* image, int track, d88_sector_id id, void* dest, size_t total,
                                size_t* whole, size_t* copied);

/* The sector numbers d88_read_run wraps between (initially 1 and 16); they
 * stay in force across d88_select_disk. Needs no selected disk. */
D88_API d88_status d88_set_sector_range(d88_image* image, int first, int last);

/* The ID of each record of track in stored order, at most capacity of
 * them; *count is how many were written (0 for an unusable track). A record
 * header cut short by the end of the file ends the list. */
D88_API d88_status d88_list_sector_ids(d88_image* image, int track, d88_sector_id* ids, size_t capacity,
                                       size_t* count);

/* One sector record as the walk over a track meets it; valid only during
 * the visitor's call that is handed it. */
typedef struct d88_record d88_record;

/* A record's fields; for a null record, 0 (and an ID of zeros). */
D88_API uint64_t d88_record_position(const d88_record* record); /* file offset of its 16-byte header; data follows */
D88_API void d88_record_id(const d88_record* record, d88_sector_id* id); /* its ID, into *id */
D88_API int d88_record_count(const d88_record* record);   /* the sector-count field */
D88_API int d88_record_density(const d88_record* record); /* 0x00 double, 0x40 single */
D88_API int d88_record_deleted(const d88_record* record); /* 0x10 when the deleted-data mark is set */
D88_API int d88_record_status(const d88_record* record);  /* the dump's controller status, 0 when it read well */
D88_API int d88_record_length(const d88_record* record);  /* the data length field */

/* What a record's status byte says, as the field's dumpers write it: "ok"
 * for 0, "deleted data" (0x10), "ID CRC error" (0xA0), "data CRC error"
 * (0xB0), "no address mark" (0xE0), "no data mark" (0xF0), and "unknown"
 * for any other value; the words d88info uses. Never null. */
D88_API const char* d88_record_status_text(int status);

/* Why a walk over a track's records ended. */
typedef enum d88_walk_end {
    D88_WALK_UNUSABLE = 0,    /* no usable track: nothing was read */
    D88_WALK_COUNT = 1,       /* a record's position equalled its sector count - 1 */
    D88_WALK_ZERO_COUNT = 2,  /* a record's sector count was 0 (that record was visited) */
    D88_WALK_END_OF_FILE = 3, /* the next record header is not all in the file */
    D88_WALK_LIMIT = 4,       /* D88_MAX_RECORDS_PER_WALK records without an end */
    D88_WALK_STOPPED = 5      /* the visitor asked to stop */
} d88_walk_end;

/* Receives each record of a walk; returns non-zero to go on, 0 to stop. */
typedef int (*d88_record_visitor)(const d88_record* record, void* context);

/* Walks the records of track as a search for a sector that is not there
 * does, handing each to visitor with context; *end says why it ended. */
D88_API d88_status d88_walk_track(d88_image* image, int track, d88_record_visitor visitor, void* context,
                                  d88_walk_end* end);

/* What the survey d88info runs makes of an image: ok, damaged (some damage
 * found), unreadable (it cannot be opened, or a read failed part way), or
 * not an image (the file holds no D88 image at all: d88_survey_error says
 * why, and names a raw image's kind by its size). */
typedef enum d88_condition {
    D88_CONDITION_OK = 0,
    D88_CONDITION_DAMAGED = 1,
    D88_CONDITION_UNREADABLE = 2,
    D88_CONDITION_NOT_AN_IMAGE = 3
} d88_condition;

/* "ok", "damaged", "unreadable" or "not-an-image", the report's "status";
 * "unknown" for any other value. Never null. */
D88_API const char* d88_condition_key(d88_condition condition);

/* How much an anomaly matters: a note is worth knowing, damage costs data. */
typedef enum d88_severity {
    D88_SEVERITY_NOTE = 0,
    D88_SEVERITY_DAMAGE = 1
} d88_severity;

/* "note" or "damage", the report's "severity"; "unknown" otherwise. */
D88_API const char* d88_severity_key(d88_severity severity);

/* An image's survey: its condition and its anomalies, as the report lists
 * them. */
typedef struct d88_survey d88_survey;
typedef struct d88_anomaly d88_anomaly;

/* Surveys the image as d88info does (the whole image is read once). An
 * image that cannot be read gives D88_OK and a survey whose condition is
 * D88_CONDITION_UNREADABLE. D88_ERR_MEMORY when the survey cannot be held;
 * *survey is null then. Free it with d88_survey_free. */
D88_API d88_status d88_survey_image(d88_image* image, d88_survey** survey);
D88_API void d88_survey_free(d88_survey* survey);

/* The survey's condition; D88_CONDITION_UNREADABLE for a null survey. */
D88_API d88_condition d88_survey_condition(const d88_survey* survey);
/* Why the image cannot be read, or is no image, as the report's "error"
 * says; "" when it can. */
D88_API const char* d88_survey_error(const d88_survey* survey);
/* The anomalies listed, at most 10,000, and how many more were only
 * counted; 0 for a null survey. */
D88_API size_t d88_survey_anomaly_count(const d88_survey* survey);
D88_API size_t d88_survey_anomalies_left_out(const d88_survey* survey);
/* Anomaly index (0..count-1) in the report's order, or null past the end.
 * It lives until d88_survey_free. */
D88_API const d88_anomaly* d88_survey_anomaly(const d88_survey* survey, size_t index);

/* An anomaly's facts; for a null anomaly, "", a note and -1. */
D88_API const char* d88_anomaly_kind(const d88_anomaly* anomaly);    /* its key, as "short-sector" */
D88_API d88_severity d88_anomaly_severity(const d88_anomaly* anomaly);
D88_API const char* d88_anomaly_message(const d88_anomaly* anomaly); /* a sentence, in English */
D88_API int d88_anomaly_disk(const d88_anomaly* anomaly);            /* the disk, or -1 for the image */
D88_API int d88_anomaly_track(const d88_anomaly* anomaly);           /* the track, or -1 */
D88_API long long d88_anomaly_offset(const d88_anomaly* anomaly);    /* file offset where it lies, or -1 */

/* The report d88info --json prints for this image alone, byte for byte:
 * {"version": 1, "images": [IMAGE]}, the image called by its path or the
 * name given to d88_open_memory. An image opened from a path is read again
 * from that path; one that cannot be read is reported as such
 * ("status": "unreadable") and still gives D88_OK. *json is
 * NUL-terminated, *length (when not null) its length; free it with
 * d88_text_free. */
D88_API d88_status d88_report_json(d88_image* image, char** json, size_t* length);

/* The map d88info --map draws of this image, byte for byte: a standalone
 * SVG document with a panel per disk, a row per track and a cell per
 * record, each cell carrying its facts (data-disk, data-track, data-index,
 * data-c, ..., data-state). As d88_report_json otherwise, but an image that
 * cannot be read gives D88_ERR_READ and no map. */
D88_API d88_status d88_map_svg(d88_image* image, char** svg, size_t* length);

/* The report and the map of the two calls above, from one survey of the
 * image: the cost of one. *svg is null (with D88_OK) when the image cannot
 * be read, as d88info draws no map of it; free both with d88_text_free. */
D88_API d88_status d88_report_and_map(d88_image* image, char** json, size_t* json_length, char** svg,
                                      size_t* svg_length);

/* What a disk's "tracks" member of a report holds: the list of its tracks
 * and their records, as d88info --json prints it, or only their number. */
typedef enum d88_report_tracks {
    D88_TRACKS_LISTED = 0,
    D88_TRACKS_COUNTED = 1
} d88_report_tracks;

/* The report, the map or both from one survey, as the calls above give
 * them: json or svg null is a text not asked for (one must be asked for).
 * With D88_TRACKS_COUNTED each disk's "tracks" member is the number of its
 * tracks in place of their list, the rest of the report byte for byte as
 * with D88_TRACKS_LISTED: the records are nearly all of a big image's
 * report, and d88_walk_track gives a track's when they are wanted. *svg
 * is null (with D88_OK) when the image cannot be read. */
D88_API d88_status d88_report(d88_image* image, d88_report_tracks tracks, char** json, size_t* json_length,
                              char** svg, size_t* svg_length);

/* Frees a text of the calls above; null is allowed. */
D88_API void d88_text_free(char* text);

/* The ways of taking files out of an image, by key ("table", "scan"): a
 * cut's mode is one of them, or "auto" (d88cut with no option: the table
 * cutter when a disk is of a kind it knows, else the scanner). */
D88_API int d88_cutter_count(void);
/* Cutter index (0..count-1)'s key, or null past the end. */
D88_API const char* d88_cutter_key(int index);

/* How to cut, for d88_cut_image: the mode, the folder names the run has
 * already given, the images cut with this one as one set; new settings come
 * as new setters. Made with the defaults: "auto", no folder given, the
 * image alone. */
typedef struct d88_cut_options d88_cut_options;

/* A new options object, or null when memory cannot be had. */
D88_API d88_cut_options* d88_cut_options_new(void);
/* Frees it; null is allowed. A cut made with it does not need it. */
D88_API void d88_cut_options_free(d88_cut_options* options);

/* The mode by its key: "auto" or a cutter's key (d88cut's --table, --scan).
 * D88_ERR_ARGUMENT for any other key; the mode is left as it was then. */
D88_API d88_status d88_cut_options_set_mode(d88_cut_options* options, const char* mode);

/* Adds a folder name d88cut gave an image earlier in the same run: the cut
 * then names its folder as d88cut does, with -2, -3, ... after a name
 * already given (a second game.d88 goes to game-2). The name is copied.
 * D88_ERR_ARGUMENT when either is null. */
D88_API d88_status d88_cut_options_add_folder(d88_cut_options* options, const char* folder);

/* Adds an image to cut with the cut's own as one set kept in several files,
 * as d88cut --merge: the set is the cut's image, then the added ones in the
 * order added, cut together into one folder. The handle is not copied: it
 * must stay open until the cut is made. D88_ERR_ARGUMENT when either is
 * null. */
D88_API d88_status d88_cut_options_add_image(d88_cut_options* options, d88_image* image);

/* Cuts the image as a set even with no image added (d88cut --merge with
 * one file): the manifest then says which disk kinds the set lacks. Adding
 * an image sets it; 0 clears it again. D88_ERR_ARGUMENT when options is
 * null. */
D88_API d88_status d88_cut_options_set_merge(d88_cut_options* options, int merge);

/* For a set, the set's folder name (d88cut --merge --name NAME); ""
 * or never set: the first image's. The name is copied. D88_ERR_ARGUMENT
 * when options is null, or name is ".", ".." or holds a slash. */
D88_API d88_status d88_cut_options_set_merged_name(d88_cut_options* options, const char* name);

/* What d88cut makes of the image (or the set), held in memory. */
typedef struct d88_cut d88_cut;
typedef struct d88_cut_file d88_cut_file;
typedef struct d88_missing_file d88_missing_file;

/* Cuts the image's files into memory as options say (null: the defaults),
 * holding nothing but what it returns: the files in the order d88cut
 * writes them, the missing ones, and the texts of the manifest.json and
 * the SHA256SUMS it writes beside them, byte for byte (the manifest names
 * the image as the report does, and its folder as d88cut run in the
 * current directory would, without looking at what that directory holds).
 * D88_ERR_NOT_AN_IMAGE when the input holds no D88 disk (d88_image_error
 * then says it as d88cut does: "NAME: not a D88 image (no whole 688-byte
 * disk header)"); D88_ERR_OPEN or D88_ERR_READ when it cannot be read
 * (for an image of a set, the details are on image all the same); *cut is
 * null then. Free the cut with d88_cut_free. */
D88_API d88_status d88_cut_image(d88_image* image, const d88_cut_options* options, d88_cut** cut);
/* Frees the cut and all it hands out; null is allowed. */
D88_API void d88_cut_free(d88_cut* cut);

/* The cutter used: "table" or "scan"; "" for a null cut. */
D88_API const char* d88_cut_mode(const d88_cut* cut);
/* The folder d88cut writes the files into, as the manifest names it. */
D88_API const char* d88_cut_folder(const d88_cut* cut);
/* The files cut, and file index (0..count-1) of them or null past the end. */
D88_API size_t d88_cut_file_count(const d88_cut* cut);
D88_API const d88_cut_file* d88_cut_file_at(const d88_cut* cut, size_t index);
/* The files the table cutter knows of that are not cut (their first sector
 * cannot be read, or a set has no disk of their kind), and one of them. */
D88_API size_t d88_cut_missing_count(const d88_cut* cut);
D88_API const d88_missing_file* d88_cut_missing_at(const d88_cut* cut, size_t index);
/* The manifest.json text, NUL-terminated, and its length (when length is
 * not null); "" for a null cut. */
D88_API const char* d88_cut_manifest(const d88_cut* cut, size_t* length);
/* The SHA256SUMS text and its length, or null (length 0) when no file is
 * cut, as d88cut then writes no SHA256SUMS. */
D88_API const char* d88_cut_checksums(const d88_cut* cut, size_t* length);

/* A cut file's facts, living until d88_cut_free; for a null file, "", 0. */
D88_API const char* d88_cut_file_name(const d88_cut_file* file);
D88_API const unsigned char* d88_cut_file_data(const d88_cut_file* file); /* size bytes; null when size is 0 */
D88_API size_t d88_cut_file_size(const d88_cut_file* file);
D88_API size_t d88_cut_file_supplied(const d88_cut_file* file); /* leading bytes the sectors gave; the rest are zeros */
D88_API int d88_cut_file_complete(const d88_cut_file* file);    /* 1 when supplied == size */
D88_API int d88_cut_file_disk(const d88_cut_file* file);        /* the disk of its image it was cut from */
D88_API int d88_cut_file_image(const d88_cut_file* file);       /* its image in the set: 0 for the cut's own */
D88_API const char* d88_cut_file_sha256(const d88_cut_file* file); /* 64 lowercase hex digits */

/* A missing file's facts, living until d88_cut_free; for a null one, "" and -1. */
D88_API const char* d88_missing_file_name(const d88_missing_file* file);
D88_API int d88_missing_file_disk(const d88_missing_file* file);  /* -1: no disk of the set holds it */
D88_API int d88_missing_file_image(const d88_missing_file* file); /* its image in the set, or -1 */
D88_API const char* d88_missing_file_reason(const d88_missing_file* file);

/* The files of a disk by the disk's own file system (N88-BASIC, Hu-BASIC,
 * FAT12, F-BASIC), as d88info --files lists them: the file system the
 * disk's evidence names, each file with its facts and the sectors it
 * lacks, and each file's bytes. */
typedef struct d88_file_listing d88_file_listing;
typedef struct d88_listed_file d88_listed_file;

/* Lists the files of disk index of image. A disk no reader knows gives a
 * listing with found 0 and no files (no damage). D88_ERR_NO_DISK when there
 * is no such disk, D88_ERR_READ when a read of the image failed part way,
 * D88_ERR_MEMORY; *listing is null then. The disk selected for the sector
 * operations stays selected. Free it with d88_file_listing_free. */
D88_API d88_status d88_list_files(d88_image* image, int disk, d88_file_listing** listing);
/* Frees the listing and its files; null is allowed. */
D88_API void d88_file_listing_free(d88_file_listing* listing);

/* A listing's facts; for a null listing, 0, -1 and "". */
D88_API int d88_file_listing_found(const d88_file_listing* listing);       /* 1 when a file system was found */
D88_API int d88_file_listing_disk(const d88_file_listing* listing);        /* the disk listed */
D88_API const char* d88_file_listing_type(const d88_file_listing* listing);   /* "n88-basic", "hu-basic", "fat12", "f-basic"; "" */
D88_API const char* d88_file_listing_name(const d88_file_listing* listing);   /* "N88-BASIC 2D", "FAT12 PC-98 2HD" */
D88_API const char* d88_file_listing_reason(const d88_file_listing* listing); /* why this file system, or why none */
D88_API uint64_t d88_file_listing_free_bytes(const d88_file_listing* listing);
/* The file system's own faults (a FAT copy that disagrees, a directory
 * past its sectors), each as what and where ("chain loops", "cluster 12"). */
D88_API size_t d88_file_listing_damage_count(const d88_file_listing* listing);
D88_API const char* d88_file_listing_damage_what(const d88_file_listing* listing, size_t index);
D88_API const char* d88_file_listing_damage_where(const d88_file_listing* listing, size_t index);
/* The files in the directory's order (FAT12's subfolders as entries of
 * type "folder", their files after them), and file index of them, or null
 * past the end; it lives until d88_file_listing_free. */
D88_API size_t d88_file_listing_file_count(const d88_file_listing* listing);
D88_API const d88_listed_file* d88_file_listing_file(const d88_file_listing* listing, size_t index);

/* A listed file's facts; for a null file, "", 0 and -1. */
D88_API const char* d88_listed_file_path(const d88_listed_file* file);  /* UTF-8, "/" between folders */
D88_API const char* d88_listed_file_stored_name_hex(const d88_listed_file* file); /* the name's bytes as stored */
D88_API const char* d88_listed_file_type(const d88_listed_file* file);  /* "basic", "machine-code", "ascii", "folder", ... */
D88_API size_t d88_listed_file_attribute_count(const d88_listed_file* file);
D88_API const char* d88_listed_file_attribute(const d88_listed_file* file, size_t index); /* "write-protected", ...; null past the end */
D88_API uint64_t d88_listed_file_size(const d88_listed_file* file);
/* The load, exec and end addresses, -1 where the file system keeps none. */
D88_API long long d88_listed_file_load_address(const d88_listed_file* file);
D88_API long long d88_listed_file_exec_address(const d88_listed_file* file);
D88_API long long d88_listed_file_end_address(const d88_listed_file* file);
D88_API const char* d88_listed_file_date(const d88_listed_file* file); /* "1987-05-03 12:34", or "" */
/* "complete", "incomplete" (written zero-padded), "missing" (the image holds
 * none of its bytes), "deleted" (listed, never written) or "folder". */
D88_API const char* d88_listed_file_state(const d88_listed_file* file);
D88_API int d88_listed_file_complete(const d88_listed_file* file); /* 1 for a complete file */
D88_API int d88_listed_file_deleted(const d88_listed_file* file);  /* 1 for a deleted entry */
/* The sectors of the file that are not whole and sound: the count, and
 * sector index of them, its track and ID into *track and *id (either may
 * be null), its fault as the return: "missing", "short", "bad-status" or
 * "deleted"; null past the end. A sector whose place a broken chain left
 * unknown has track -1 and an ID of zeros. */
D88_API size_t d88_listed_file_damaged_sector_count(const d88_listed_file* file);
D88_API const char* d88_listed_file_damaged_sector(const d88_listed_file* file, size_t index, int* track,
                                                   d88_sector_id* id);
/* The faults of the file's chain, as what and where. */
D88_API size_t d88_listed_file_damage_count(const d88_listed_file* file);
D88_API const char* d88_listed_file_damage_what(const d88_listed_file* file, size_t index);
D88_API const char* d88_listed_file_damage_where(const d88_listed_file* file, size_t index);

/* A listed file's bytes, read from the listing's disk of image (which must
 * be the image listed): what the disk holds, zeros for what it lacks, its
 * size bytes into dest; *supplied (when not null) is how many the disk
 * held. A deleted entry, a missing file and a folder give 0 bytes, as
 * d88cut writes none of them. D88_ERR_ARGUMENT when capacity is less than
 * the bytes the file gives or the file is not one of the listing's,
 * D88_ERR_READ when a read failed part way. */
D88_API d88_status d88_listed_file_read(d88_image* image, const d88_file_listing* listing,
                                        const d88_listed_file* file, void* dest, size_t capacity, size_t* supplied);
/* As d88_listed_file_read, into a new buffer of the file's size: *data
 * (null for 0 bytes) is freed with d88_bytes_free, *size its length. */
D88_API d88_status d88_listed_file_bytes(d88_image* image, const d88_file_listing* listing,
                                         const d88_listed_file* file, unsigned char** data, size_t* size,
                                         size_t* supplied);
/* Frees bytes a call above handed out; null is allowed. */
D88_API void d88_bytes_free(unsigned char* data);

/* Conversion, as d88convert makes it. A format is named by a word of
 * d88convert --to: "raw", "fdi" (raw after its 4 KiB header), or an
 * extension that names a raw kind ("hdm", "2d", "2dd", "img", ...); null
 * is "raw". */

/* A disk as a raw image: its bytes, its geometry and what the raw image
 * could not hold as the D88 image held it. */
typedef struct d88_raw_image d88_raw_image;

/* Makes the raw image of disk index of image: each track in track order,
 * each sector in ascending R under geometry ("CxHxSxBYTES", as
 * "40x2x16x256"; null: the one the survey judges the disk to have), zeros
 * where the image holds no bytes. D88_ERR_ARGUMENT for a format that is no
 * raw one or a geometry that does not read; D88_ERR_NO_DISK when there is
 * no such disk; D88_ERR_CONVERT when the disk has no geometry a raw image
 * can hold (d88_image_error says why); *raw is null then. Free it with
 * d88_raw_image_free. */
D88_API d88_status d88_disk_to_raw(d88_image* image, int disk, const char* format, const char* geometry,
                                   d88_raw_image** raw);
D88_API void d88_raw_image_free(d88_raw_image* raw);

/* The raw image's bytes and their count; null and 0 for a null one. */
D88_API const unsigned char* d88_raw_image_data(const d88_raw_image* raw);
D88_API size_t d88_raw_image_size(const d88_raw_image* raw);
/* Its geometry in words, as d88convert --json says it ("40 x 2 x 16 x 256"). */
D88_API const char* d88_raw_image_geometry(const d88_raw_image* raw);
/* 1 when the raw image holds the disk exactly (d88convert's status 0). */
D88_API int d88_raw_image_exact(const d88_raw_image* raw);

/* The kinds of what a raw image cannot hold, by index 0..count-1: each
 * kind's key ("missing", "cut-short", ...; null past the end) and its
 * words, said of sectors ("missing, filled with zeros"), as d88convert says them. */
D88_API int d88_raw_finding_kind_count(void);
D88_API const char* d88_raw_finding_key(int kind);
D88_API const char* d88_raw_finding_text(int kind);
/* Of one kind in a raw image: the sectors found, the runs of places kept
 * (at most 256) and how many more runs there were. */
D88_API size_t d88_raw_image_finding_sectors(const d88_raw_image* raw, int kind);
D88_API size_t d88_raw_image_finding_run_count(const d88_raw_image* raw, int kind);
D88_API size_t d88_raw_image_finding_runs_left_out(const d88_raw_image* raw, int kind);
/* Run index of a kind: sectors R first_r..last_r of each track from track
 * to last_track (null pointers allowed). D88_ERR_ARGUMENT past the end. */
D88_API d88_status d88_raw_image_finding_run(const d88_raw_image* raw, int kind, size_t index, int* track,
                                             int* last_track, int* first_r, int* last_r);

/* A D88 image made of a raw image. */
typedef struct d88_made_image d88_made_image;

/* Makes the D88 image of one disk of the size bytes of a raw image at
 * data, in format (whose extension may name a geometry, as "2d" does; an
 * "fdi" header gives its own), under geometry ("CxHxSxBYTES"; null: the one
 * the format, else the size, names, a size two kinds share settled by a
 * FAT boot sector's fields). D88_OK with *made an image; D88_ERR_CONVERT
 * when no geometry can be chosen (the size is ambiguous, unknown, or does
 * not match): *made is then an object without bytes whose
 * d88_made_image_error says why, to be freed as any other.
 * D88_ERR_ARGUMENT for a format or geometry that does not read, or data
 * null with size not 0, and D88_ERR_MEMORY: *made is null then. */
D88_API d88_status d88_raw_to_d88(const void* data, size_t size, const char* format, const char* geometry,
                                  d88_made_image** made);
D88_API void d88_made_image_free(d88_made_image* made);

/* The D88 image's bytes and their count (null and 0 when none was made). */
D88_API const unsigned char* d88_made_image_data(const d88_made_image* made);
D88_API size_t d88_made_image_size(const d88_made_image* made);
/* The geometry in words, and what chose it ("--geometry", "the size", ...). */
D88_API const char* d88_made_image_geometry(const d88_made_image* made);
D88_API const char* d88_made_image_geometry_from(const d88_made_image* made);
/* Why none was made, in a sentence; "" when one was. */
D88_API const char* d88_made_image_error(const d88_made_image* made);

#ifdef __cplusplus
}
#endif

#endif
