// The kinds of anomaly a survey finds, in one table: each kind's key as the
// reports name it, whether it is damage or a note, and what it means. The
// checks take a kind's key and severity from here, the reports its words.
#ifndef SURVEY_ANOMALY_KINDS_H
#define SURVEY_ANOMALY_KINDS_H

#include <cstddef>

enum class AnomalyKind {
    Truncated,
    SizeBeyondFile,
    TrailingZeros,
    TrailingBytes,
    TrailingData,
    NoDisks,
    DiskSizeZero,
    DiskRepeated,
    DiskSizeShort,
    NoTracks,
    BlankDisk,
    ShortHeader,
    UnusedEntries,
    TrackOffsetOutOfRange,
    TrackOffsetInHeader,
    WalkPastEndOfFile,
    WalkLimit,
    ZeroCount,
    CountMismatch,
    ByteSwappedCount,
    LengthMismatch,
    LongSector,
    DuplicateId,
    ShortSector,
    RecordsBeyondDisk,
    BadStatus,
    EmptySector,
    DeletedData,
    FileSystemDamage,
    FileDamage,
};

struct AnomalyKindRow {
    AnomalyKind kind;
    const char* key;  // "short-sector"; a key may serve two kinds of different severity
    // Damage costs the cutters data or makes what they read uncertain; a
    // note is worth knowing but costs them nothing.
    bool damage;
    const char* sentence;  // what it means, in general
};

// The rows in the order of AnomalyKind.
const AnomalyKindRow& anomalyKind(AnomalyKind kind);
std::size_t anomalyKindCount();
const AnomalyKindRow& anomalyKindAt(std::size_t index);

// A severity as the reports name it: "damage" or "note".
const char* severityName(bool damage);

#endif
