#pragma once

// What was typed into an entry since its last save, kept beside the data
// file so that a crash or a power cut loses at most the last moments of
// typing. One file per entry with unsaved changes:
//   <folder>/Mrlwbk31-YYYYMMDD.recovery
// written whole (temporary name, sync, rename) a moment after the typing
// pauses, removed once the entry is saved. Its contents are enciphered with
// the data file's cipher, as the records are (layout in store/FORMAT.md).

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "store/blowfish.h"
#include "store/records.h"

namespace tl::app {

struct RecoveredEntry {
    store::Date date;
    store::EntryHeader header;
    std::u16string text;            // plain text, CR LF line ends
    std::vector<std::uint8_t> rtf;  // the rich text, empty for none
};

// The recovery file of the date beside the data file.
std::string RecoveryPath(const std::string& dataPath, store::Date date);
// The recovery files beside the data file, by date.
std::vector<std::string> RecoveryFiles(const std::string& dataPath);

// The file's bytes for the entry, and back. OpenRecovery answers nullopt
// for anything that is not a whole file sealed with this cipher.
std::vector<std::uint8_t> SealRecovery(const store::CBlowfish& cipher, const RecoveredEntry& entry);
std::optional<RecoveredEntry> OpenRecovery(const store::CBlowfish& cipher,
                                           std::span<const std::uint8_t> bytes);
std::optional<RecoveredEntry> ReadRecoveryFile(const store::CBlowfish& cipher,
                                               const std::string& path);

// Writes and removes recovery files on a thread of its own, in the order
// asked, so that the interface thread never waits for the disk. A newer
// write of a path replaces one still queued; a removal drops the queued
// writes of its path, so a removed file never comes back. Failures are
// silent: the recovery file is a second line of defence, the save the first.
class RecoveryWriter {
public:
    RecoveryWriter();
    ~RecoveryWriter();  // finishes what is queued
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;

    void write(std::string path, const store::CBlowfish& cipher, RecoveredEntry entry);
    void remove(std::string path);
    // Waits until everything asked so far is on the disk.
    void flush();

private:
    struct Job {
        std::string path;
        std::optional<store::CBlowfish> cipher;  // none: remove
        RecoveredEntry entry;
    };
    void run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<Job> m_jobs;
    bool m_busy = false;
    bool m_stop = false;
    std::thread m_thread;
};

}  // namespace tl::app
