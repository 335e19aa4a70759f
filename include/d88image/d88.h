/* The d88image C API: D88 floppy-disk images read without trusting them,
 * for programs in C and for other languages' bindings. C99; every name
 * starts with d88_ or D88_. An image is an opaque handle, opened from a
 * path or from bytes in memory; through it go the reader's operations (the
 * disks, sectors by their ID bytes, the walk over a track's records), the
 * report that d88info --json prints and the cut that d88cut makes, held in
 * memory.
 *
 * Every function that can fail returns a d88_status; D88_OK is 0.
 * d88_status_text names a status, d88_image_error gives the details of the
 * last call on an image (the system's reason, the disk asked for). Nothing
 * is thrown across this interface, and every allocation handed out has its
 * own free function. A handle is used by one thread at a time; separate
 * handles are independent.
 *
 * Built as the shared library libd88image.so.1 (pkg-config d88image-c,
 * CMake target d88image::c). */
#ifndef D88IMAGE_D88_H
#define D88IMAGE_D88_H

#include <stddef.h>
#include <stdint.h>

/* The version of this interface: raised when a function changes its
 * meaning; d88_api_version() gives the library's. */
#define D88_API_VERSION 1

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
    D88_ERR_NOT_AN_IMAGE = 6  /* nothing in the input is a D88 disk: there is nothing to cut */
} d88_status;

/* A sentence naming the status, in English; never null. */
D88_API const char* d88_status_text(d88_status status);

/* The library's release ("1.2.0") and the D88_API_VERSION it was built with. */
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

/* Frees the handle; null is allowed. */
D88_API void d88_close(d88_image* image);

/* The details of the last call on image: empty after one that succeeded.
 * Valid until the next call on the handle; "" for a null handle. */
D88_API const char* d88_image_error(const d88_image* image);

/* The number of disks indexed; 0 for a null handle. */
D88_API int d88_disk_count(const d88_image* image);

typedef struct d88_disk {
    uint64_t offset;   /* file offset of the disk's header */
    uint32_t size;     /* the header's disk size field */
    int media;         /* media type byte: 0x00 2D, 0x10 2DD, 0x20 2HD, or another */
    int write_protect; /* write-protect byte: 0x00 writable, 0x10 protected */
    char name[17];     /* the stored name bytes up to the first NUL (at most 16), NUL-terminated;
                          no character set implied */
} d88_disk;

/* The facts of disk index (0..count-1), read from its header at open.
 * D88_ERR_NO_DISK when there is no such disk. */
D88_API d88_status d88_disk_info(d88_image* image, int index, d88_disk* disk);

/* Makes disk index the one the sector operations read. D88_ERR_NO_DISK
 * when there is no such disk; no disk is selected then. */
D88_API d88_status d88_select_disk(d88_image* image, int index);

/* The selected disk's index, or -1 when none is. */
D88_API int d88_selected_disk(const d88_image* image);

/* The four ID bytes recorded with a sector: cylinder, head, sector number
 * and size code (nominal size 128 << n bytes). */
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

/* One sector record as the walk over a track meets it. */
typedef struct d88_record {
    uint64_t position; /* file offset of its 16-byte header; its data follows */
    d88_sector_id id;
    int count;   /* the record's sector-count field */
    int density; /* 0x00 double, 0x40 single */
    int deleted; /* 0x10 when the deleted-data mark is set */
    int status;  /* controller status of the dump's read, 0 when it read well */
    int length;  /* data length field */
} d88_record;

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

D88_API void d88_text_free(char* text);

/* Which cutter a cut uses: d88cut with neither option (the table cutter
 * when a disk is of a kind it knows, else the scanner), --table, --scan. */
typedef enum d88_cut_mode {
    D88_CUT_AUTO = 0,
    D88_CUT_TABLE = 1,
    D88_CUT_SCAN = 2
} d88_cut_mode;

typedef struct d88_cut_file {
    const char* name;
    const unsigned char* data;
    size_t size;
    size_t supplied; /* leading bytes the sectors gave; the rest are zeros */
    int disk;        /* the disk it was cut from */
    int complete;    /* 1 when supplied == size */
} d88_cut_file;

/* A file the table cutter knows of that is not cut: its first sector
 * cannot be read. */
typedef struct d88_missing_file {
    const char* name;
    int disk;
    const char* reason;
} d88_missing_file;

/* What d88cut makes of the image, held in memory: the files in the order
 * d88cut writes them, the missing ones, and the texts of the manifest.json
 * and the SHA256SUMS it writes beside them, byte for byte (the manifest
 * names the image as the report does, and its folder as d88cut run in the
 * current directory would: the image's name without folders and extension,
 * without looking at what that directory holds). checksums is null when no
 * file is cut, as d88cut then writes no SHA256SUMS. Everything it points to
 * lives until d88_cut_free. */
typedef struct d88_cut {
    const char* mode; /* "table" or "scan" */
    size_t file_count;
    const d88_cut_file* files;
    size_t missing_count;
    const d88_missing_file* missing;
    const char* manifest;
    size_t manifest_length;
    const char* checksums;
    size_t checksums_length;
} d88_cut;

/* Cuts the image's files into memory, holding nothing but what it returns.
 * D88_ERR_NOT_AN_IMAGE when the input holds no D88 disk (d88_image_error
 * then says it as d88cut does: "NAME: not a D88 image (no whole 688-byte
 * disk header)"); D88_ERR_OPEN or D88_ERR_READ when it cannot be read;
 * *cut is null then. */
D88_API d88_status d88_cut_image(d88_image* image, d88_cut_mode mode, d88_cut** cut);

/* As d88_cut_image, for an image that d88cut cuts in one run after images
 * whose folders it named given[0] .. given[count - 1]: the manifest names
 * this image's folder as d88cut then does, with -2, -3, ... after a name
 * already given (a second game.d88 goes to game-2). given may be null when
 * count is 0. */
D88_API d88_status d88_cut_image_after(d88_image* image, d88_cut_mode mode, const char* const* given, size_t count,
                                       d88_cut** cut);
D88_API void d88_cut_free(d88_cut* cut);

#ifdef __cplusplus
}
#endif

#endif
