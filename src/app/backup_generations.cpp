#include "backup_generations.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>

#include "res/kept_messages.h"
#include "res/messages.h"

namespace tl::app {

namespace fs = std::filesystem;

namespace {

std::string Format(std::time_t when, const char* pattern) {
    std::tm local{};
    localtime_r(&when, &local);
    std::array<char, 64> text{};
    const std::size_t n = std::strftime(text.data(), text.size(), pattern, &local);
    return std::string(text.data(), n);
}

// "Mrlwbk31" of ".../Mrlwbk31.backup".
std::string Stem(const std::string& path) {
    return fs::path(path).stem().string();
}

// Whether name is stem + "-YYYY-MM-DD" + extension.
bool IsGenerationName(const std::string& name, const std::string& stem, const std::string& ext) {
    const std::size_t dateLength = 11;  // "-2026-12-11"
    if (name.size() != stem.size() + dateLength + ext.size()) return false;
    if (name.compare(0, stem.size(), stem) != 0 ||
        name.compare(name.size() - ext.size(), ext.size(), ext) != 0)
        return false;
    const std::string date = name.substr(stem.size(), dateLength);
    for (std::size_t i = 0; i < date.size(); ++i) {
        const bool dash = i == 0 || i == 5 || i == 8;
        if (dash ? date[i] != '-' : (date[i] < '0' || date[i] > '9')) return false;
    }
    return true;
}

std::time_t WriteTime(const std::string& path) {
    std::error_code ec;
    const auto t = fs::last_write_time(path, ec);
    if (ec) return 0;
    const auto system = std::chrono::file_clock::to_sys(t);
    return std::chrono::system_clock::to_time_t(system);
}

}  // namespace

std::string GenerationPath(const std::string& backupPath, std::time_t when) {
    const fs::path p(backupPath);
    return (p.parent_path() /
            (Stem(backupPath) + Format(when, "-%Y-%m-%d") + p.extension().string()))
        .string();
}

std::vector<std::string> Generations(const std::string& backupPath) {
    const fs::path p(backupPath);
    const std::string stem = Stem(backupPath);
    const std::string ext = p.extension().string();
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(p.parent_path(), ec)) {
        const std::string name = entry.path().filename().string();
        if (IsGenerationName(name, stem, ext) && entry.is_regular_file(ec))
            found.push_back(entry.path().string());
    }
    // The date in the name orders them; the names differ only there.
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<BackupCopy> ListBackups(const std::string& backupPath) {
    std::vector<BackupCopy> list;
    std::error_code ec;
    if (fs::is_regular_file(backupPath, ec))
        list.push_back({backupPath, WriteTime(backupPath), true});
    const std::vector<std::string> generations = Generations(backupPath);
    for (auto it = generations.rbegin(); it != generations.rend(); ++it)
        list.push_back({*it, WriteTime(*it), false});
    // Newest first: the latest backup is replaced at every start, so it
    // leads; a generation is at most as new as it.
    return list;
}

void PruneGenerations(const std::string& backupPath, int keep) {
    std::vector<std::string> generations = Generations(backupPath);
    const std::size_t n = static_cast<std::size_t>(std::max(keep, 0));
    std::error_code ec;
    for (std::size_t i = 0; i + n < generations.size(); ++i) fs::remove(generations[i], ec);
}

std::string LocalDateTimeText(std::time_t when) {
    return Format(when, "%Y-%m-%d %H:%M");
}

std::string RestoreQuestion(std::time_t madeAt) {
    return std::string(res::Text(res::Msg::RestoreFromBackup)) + "\n\n" +
           res::FormatText(res::kept::BackupMadeAt, {LocalDateTimeText(madeAt)});
}

std::string ReplacedName(const std::string& dataPath, std::time_t when) {
    const fs::path p(dataPath);
    const std::string base =
        (p.parent_path() / (Stem(dataPath) + Format(when, "-replaced-%Y-%m-%d-%H%M%S"))).string();
    const std::string ext = p.extension().string();
    std::string name = base + ext;
    std::error_code ec;
    for (int i = 2; fs::exists(fs::symlink_status(name, ec)); ++i)
        name = base + "-" + std::to_string(i) + ext;
    return name;
}

}  // namespace tl::app
