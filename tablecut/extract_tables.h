// Where the files of the three disks lie: built-in tables of track, first
// sector and length. Every cut uses size code 3 (1024-byte sectors).
#ifndef TABLECUT_EXTRACT_TABLES_H
#define TABLECUT_EXTRACT_TABLES_H

// A file named explicitly, with its first sector's full ID.
struct NamedCut {
    const char* name;
    int track;
    int c;
    int h;
    int r;
    int length;
};

// A row of a numbered table; its ID is C = track / 2, H = track % 2. A table
// ends at the row whose r is 0.
struct ExtractRow {
    int track;
    int r;
    int length;
};

constexpr int kProgramCutCount = 3;
extern const NamedCut kProgramCuts[kProgramCutCount];
extern const ExtractRow kScenarioTable[];
extern const ExtractRow kEventTable[];

#endif
