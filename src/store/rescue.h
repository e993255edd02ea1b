#pragma once

// The rescue of a damaged data file: every record that can still be read is
// copied into a fresh data file through the normal writer.
//
// A record is read when its header deciphers to a known kind (1-6) with a
// date that can be (none for the weather list), a unit count that fits the
// kind and the file, and its payload decodes (texts and attachments
// inflate). Free records are stepped over whole. Where a unit holds no
// such header the scan goes on unit by unit until the next plausible
// header; a record whose header reads but whose payload does not is
// stepped over by its units (its date has lost something).
//
// Versions: an entry is its header with the texts that follow it directly,
// or a text without a header (an untitled entry). Of two whole versions of
// a date the later-written one wins: one past the header's total (a growth
// appended it) beats one inside; inside, the first in the file wins, as the
// reading rule of the program picks it. A version of which any record does
// not decode is never mixed with another: another whole one wins, else
// what of it reads. Sticky notes and weather lists likewise: one per date,
// one per file. Attachments: one per date and order.
//
// Invariants: the damaged file is never written. Until the fresh file is
// whole and synced nothing is renamed; in place, the damaged file is then
// renamed to a dated name and the fresh one takes its place.

#include <cstdint>
#include <string>
#include <vector>

#include "data_file_key.h"
#include "diary_data_file.h"
#include "records.h"
#include "res/user_interface.h"

namespace tl::store {

struct RescueRequest {
    std::string damagedPath;
    // Where the rescued data file goes; empty: in the damaged file's place
    // (the damaged file is kept beside it under a dated name).
    std::string outPath;
    DataFileKey key = DeriveDataFileKey();
};

struct RescueResult {
    int status = 0;                  // 1 done, 0 failed (told), 2 cancelled
    KindCounts kept{};               // records written, by kind
    std::uint64_t damagedUnits = 0;  // units that held no readable record
    std::vector<Date> lostDates;     // dates of records that could not be read, in order
    std::string rescuedPath;         // the fresh data file
    std::string damagedKeptPath;     // where the damaged file lies afterwards
};

// Rescues the damaged file; progress and failures go to ui (nothing else is
// told: the caller reports the result). The damaged file must not be held
// open for writing by the caller.
RescueResult Rescue(const RescueRequest& request, res::UserInterface& ui);

// A name next to path with the local date and time that no file has yet:
// path + tag + "-YYYYMMDD-HHMMSS" (and "-2", "-3" ... when taken).
std::string DatedName(FileSystem& fs, const std::string& path, const std::string& tag);

}  // namespace tl::store
