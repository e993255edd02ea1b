#pragma once

// A deterministic diary of many years, written through the engine's own
// save paths, so that the benchmarks run on a file shaped like a real one.

#include <cstdint>
#include <string>

namespace tl::bench {

struct DiaryOptions {
    int firstYear = 2005;
    int years = 20;
    int dayEntries = 7300;  // consecutive days from the first of January
    int attachments = 2000;
    int stickyNotes = 30;
    int resaves = 200;                  // entries saved a second time, leaving free records
    std::uint32_t minTextBytes = 1024;  // of the plain text, as stored (UTF-16)
    std::uint32_t maxTextBytes = 3072;
    std::uint32_t minAttachmentBytes = 20 * 1024;
    std::uint32_t maxAttachmentBytes = 200 * 1024;
};

struct DiaryFigures {
    std::uint64_t bytes = 0;
    std::uint64_t records = 0;
    std::uint64_t freeRecords = 0;
    double seconds = 0;  // generation time; 0 when the file was reused
};

// A word that occurs in a few entries only, and one that occurs in none.
inline constexpr char16_t kRareWord[] = u"lighthouse";
inline constexpr char16_t kAbsentWord[] = u"zeppelin";

// Writes a new data file at path (replacing any) from the seed. The same
// seed gives the same file but for the attachments' creation times, which
// the file system sets. Throws std::runtime_error when the engine refuses a
// save.
DiaryFigures GenerateDiary(const std::string& path, std::uint64_t seed,
                           const DiaryOptions& options = {});

// Reuses the file at path when present, else generates it (through a
// temporary name, so that an interrupted run leaves nothing to reuse).
DiaryFigures EnsureDiary(const std::string& path, std::uint64_t seed,
                         const DiaryOptions& options = {});

// Counts the records of a data file, and the free ones among them.
DiaryFigures MeasureDiary(const std::string& path);

}  // namespace tl::bench
