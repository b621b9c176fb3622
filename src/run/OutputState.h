#pragma once
// Whether a run wrote an output, told without clocks. Before the run each
// output's state is recorded: absent, or its size and last-write stamp. An
// output counts as written by the run when its state has changed since. On a
// file server the stamps come from the server's clock, which may be minutes
// off this computer's; comparing a stamp only with an earlier stamp of the
// same file keeps any clock out of the question. Plain C++.
//
// A file's identity is not asked: dcmdjpeg rewrites an output in place, so
// the identity of a written output stays, and some servers give identities
// that change between opens (a FAT disk shared by Samba, a DFS fail-over),
// which would pass an old output as written.
//
// The limit that remains: a rewrite of the same file that keeps its size and
// lands within the file system's time granularity of the old stamp (2 s on
// FAT, 10 ms on exFAT, 100 ns on NTFS; some servers round to seconds) looks
// unchanged. This errs one way only: such an output is taken as not written
// and listed with its input's reason, a false alarm about a file converted
// twice within that time, never a failure passed as converted.
#include <cstdint>

struct FileState {
    bool lookedUp = true;  // false when the look-up failed otherwise than "not found"
    bool exists = false;
    uint64_t size = 0;
    uint64_t lastWrite = 0;  // the file system's own stamp
};

// Whether the file, now as described, has been written since before was
// recorded. A file gone since, or not looked up now, counts as not written.
bool WrittenSince(const FileState& before, const FileState& now);
