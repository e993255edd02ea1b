#include "typing_recovery.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "store/file.h"
#include "store/file_copy.h"
#include "store/md5.h"

namespace tl::app {

namespace fs = std::filesystem;

namespace {

// "TLRCV001": the file's kind and version, in the clear.
constexpr std::uint8_t kMagic[8] = {'T', 'L', 'R', 'C', 'V', '0', '0', '1'};
constexpr std::size_t kSealedHead = 4 + 16;  // payload length, its MD5
constexpr const char* kRecoveryExtension = ".recovery";
// An entry is far smaller; anything larger is not one of ours.
constexpr std::uint32_t kMaxPayload = 256u << 20;

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void PutText(std::vector<std::uint8_t>& out, std::u16string_view text) {
    Put32(out, static_cast<std::uint32_t>(text.size()));
    for (char16_t c : text) {
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
    }
}

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    bool ok() const { return m_ok; }
    std::uint32_t u32() {
        if (!take(4)) return 0;
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= std::uint32_t{m_bytes[m_at - 4 + i]} << (8 * i);
        return v;
    }
    std::u16string text() {
        const std::uint32_t n = u32();
        if (n > m_bytes.size() / 2 || !take(std::size_t{n} * 2)) return {};
        std::u16string out(n, u'\0');
        const std::uint8_t* p = &m_bytes[m_at - std::size_t{n} * 2];
        for (std::uint32_t i = 0; i < n; ++i)
            out[i] = static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8));
        return out;
    }
    std::vector<std::uint8_t> bytes() {
        const std::uint32_t n = u32();
        if (!take(n)) return {};
        return {m_bytes.begin() + static_cast<std::ptrdiff_t>(m_at - n),
                m_bytes.begin() + static_cast<std::ptrdiff_t>(m_at)};
    }

private:
    bool take(std::size_t n) {
        if (!m_ok || n > m_bytes.size() - m_at) return m_ok = false;
        m_at += n;
        return true;
    }
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_at = 0;
    bool m_ok = true;
};

std::string Stem(const std::string& dataPath) {
    return fs::path(dataPath).stem().string();
}

}  // namespace

std::string RecoveryPath(const std::string& dataPath, store::Date date) {
    char key[40];
    std::snprintf(key, sizeof key, "%04d%02d%02d", date.year % 10000, date.month % 100,
                  date.day % 100);
    return (fs::path(dataPath).parent_path() / (Stem(dataPath) + "-" + key + kRecoveryExtension))
        .string();
}

std::vector<std::string> RecoveryFiles(const std::string& dataPath) {
    const std::string prefix = Stem(dataPath) + "-";
    const std::size_t length = prefix.size() + 8 + std::strlen(kRecoveryExtension);
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(fs::path(dataPath).parent_path(), ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == length && name.rfind(prefix, 0) == 0 &&
            entry.path().extension() == kRecoveryExtension &&
            std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()),
                        name.begin() + static_cast<std::ptrdiff_t>(prefix.size() + 8),
                        [](char c) { return c >= '0' && c <= '9'; }))
            found.push_back(entry.path().string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

// Layout: the magic in the clear, then enciphered in 8-byte blocks: the
// payload's length (u32), its MD5 (16 bytes) and the payload, zero-padded.
// Payload: year (u32), month, day (u32 each), title, weather (u32 count of
// UTF-16 units, then the units), the four colour values (u32), the text
// (as the title), the rich text (u32 length, bytes). Little-endian.
std::vector<std::uint8_t> SealRecovery(const store::CBlowfish& cipher,
                                       const RecoveredEntry& entry) {
    std::vector<std::uint8_t> payload;
    payload.reserve(64 + 2 * entry.text.size() + entry.rtf.size());
    Put32(payload, static_cast<std::uint32_t>(static_cast<std::int32_t>(entry.date.year)));
    Put32(payload, entry.date.month);
    Put32(payload, entry.date.day);
    PutText(payload, entry.header.title);
    PutText(payload, entry.header.weather);
    for (std::uint32_t v : {entry.header.colors.text, entry.header.colors.backgroundOn,
                            entry.header.colors.background, entry.header.colors.blink})
        Put32(payload, v);
    PutText(payload, entry.text);
    Put32(payload, static_cast<std::uint32_t>(entry.rtf.size()));
    payload.insert(payload.end(), entry.rtf.begin(), entry.rtf.end());

    store::CMD5 md5;
    md5.Update(payload.data(), payload.size());
    md5.Final();
    std::vector<std::uint8_t> sealed(std::begin(kMagic), std::end(kMagic));
    std::vector<std::uint8_t> body;
    Put32(body, static_cast<std::uint32_t>(payload.size()));
    body.insert(body.end(), md5.Digest(), md5.Digest() + 16);
    body.insert(body.end(), payload.begin(), payload.end());
    body.resize((body.size() + 7) / 8 * 8, 0);
    cipher.Encrypt(body.data(), body.data(), body.size());
    sealed.insert(sealed.end(), body.begin(), body.end());
    return sealed;
}

std::optional<RecoveredEntry> OpenRecovery(const store::CBlowfish& cipher,
                                           std::span<const std::uint8_t> bytes) {
    constexpr std::size_t kMagicSize = sizeof kMagic;
    if (bytes.size() < kMagicSize + 24 || (bytes.size() - kMagicSize) % 8 != 0 ||
        !std::equal(std::begin(kMagic), std::end(kMagic), bytes.begin()))
        return std::nullopt;
    std::vector<std::uint8_t> body(bytes.begin() + kMagicSize, bytes.end());
    cipher.Decrypt(body.data(), body.data(), body.size());
    Reader head(body);
    const std::uint32_t length = head.u32();
    if (length > kMaxPayload || length > body.size() - kSealedHead) return std::nullopt;
    const std::span<const std::uint8_t> payload(body.data() + kSealedHead, length);
    store::CMD5 md5;
    md5.Update(payload.data(), payload.size());
    md5.Final();
    if (!std::equal(md5.Digest(), md5.Digest() + 16, body.begin() + 4)) return std::nullopt;

    Reader in(payload);
    RecoveredEntry entry;
    entry.date.year = static_cast<std::int16_t>(static_cast<std::int32_t>(in.u32()));
    entry.date.month = static_cast<std::uint8_t>(in.u32());
    entry.date.day = static_cast<std::uint8_t>(in.u32());
    entry.header.title = in.text();
    entry.header.weather = in.text();
    entry.header.colors.text = in.u32();
    entry.header.colors.backgroundOn = in.u32();
    entry.header.colors.background = in.u32();
    entry.header.colors.blink = in.u32();
    entry.text = in.text();
    entry.rtf = in.bytes();
    if (!in.ok()) return std::nullopt;
    return entry;
}

std::optional<RecoveredEntry> ReadRecoveryFile(const store::CBlowfish& cipher,
                                               const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    return OpenRecovery(cipher, bytes);
}

RecoveryWriter::RecoveryWriter() : m_thread([this] { run(); }) {}

RecoveryWriter::~RecoveryWriter() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void RecoveryWriter::write(std::string path, const store::CBlowfish& cipher, RecoveredEntry entry) {
    {
        std::lock_guard lock(m_mutex);
        std::erase_if(m_jobs, [&](const Job& job) { return job.path == path && job.cipher; });
        m_jobs.push_back({std::move(path), cipher, std::move(entry)});
    }
    m_wake.notify_one();
}

void RecoveryWriter::remove(std::string path) {
    {
        std::lock_guard lock(m_mutex);
        std::erase_if(m_jobs, [&](const Job& job) { return job.path == path; });
        m_jobs.push_back({std::move(path), std::nullopt, {}});
    }
    m_wake.notify_one();
}

void RecoveryWriter::flush() {
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_jobs.empty() && !m_busy; });
}

void RecoveryWriter::run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_jobs.empty(); });
        if (m_jobs.empty()) return;  // stopping, nothing left
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_busy = true;
        lock.unlock();
        try {
            if (job.cipher) {
                const std::vector<std::uint8_t> bytes = SealRecovery(*job.cipher, job.entry);
                store::WriteWhole(job.path, bytes.data(), bytes.size());
            } else {
                std::error_code ec;
                if (fs::remove(job.path, ec)) store::SyncFolderOf(job.path);
            }
        } catch (const store::FileError&) {
            // Kept as it was; the next pause writes again.
        }
        lock.lock();
        m_busy = false;
        if (m_jobs.empty()) m_idle.notify_all();
    }
}

}  // namespace tl::app
