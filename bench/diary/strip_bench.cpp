// Opening an entry with 50 attachments, 30 of them JPEG photographs of
// 3-5 MB: how soon its text is usable, how soon every thumbnail of the
// strip is there, and the longest pause of the event loop meanwhile. Once
// with photographs as cameras write them (with their stored preview) and
// once with the previews taken out, so that every photograph is decoded.
// The data file is generated on first run into the bench data folder.
// Usage: tl_strip_bench [--data FILE] [--runs N]
#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QMdiArea>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "diary/diary_documents.h"
#include "diary/entry_attachments.h"
#include "diary/marlow_doc.h"
#include "diary/marlow_view.h"
#include "res/user_interface.h"
#include "store/data_file_key.h"
#include "store/diary_data_file.h"
#include "support/exif_sample.h"
#include "timing.h"

namespace {

namespace fs = std::filesystem;
using tl::bench::Clock;
using tl::bench::Millis;
using tl::store::Date;

constexpr Date kWithPreviews{2026, 5, 1};
constexpr Date kWithoutPreviews{2026, 5, 2};
constexpr int kPhotos = 30;
constexpr int kOthers = 20;

// Processor time of the whole process (every thread), in milliseconds: on
// a busy machine the wall clock says more about the others than about us.
double CpuMillis() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

QByteArray Jpeg(const QImage& image, int quality) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", quality);
    return bytes;
}

// A 12-megapixel picture with the grain of a photograph: gradients under
// noise, so that it neither compresses away nor decodes unusually fast.
QImage Photo(unsigned seed) {
    QImage image(4000, 3000, QImage::Format_RGB32);
    std::mt19937 random(seed);
    const int hue = static_cast<int>(random() % 360);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int n = static_cast<int>(random() % 56);
            line[x] = qRgb((x / 16 + hue + n) & 255, (y / 12 + n) & 255, ((x + y) / 20 + n) & 255);
        }
    }
    return image;
}

void Write(const fs::path& path, const QByteArray& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.constData(), bytes.size());
}

std::vector<std::uint8_t> Bytes(const QByteArray& a) {
    return {a.begin(), a.end()};
}

// The two dates' attachments: the photographs (with and without their
// preview) and 20 other files of 10 KB to 2 MB.
bool Generate(const std::string& path) {
    const fs::path folder = fs::path(path).parent_path() / "strip-files";
    fs::create_directories(folder);
    tl::store::CDiaryDataFile file;
    file.SetPath(path);
    file.SetKey(tl::store::DeriveDataFileKey());
    if (file.Create() != 1 || file.Open(false) != tl::store::OpenResult::Opened) return false;
    std::mt19937 random(11);
    std::vector<std::pair<std::string, std::string>> both;  // with, without preview
    for (int i = 0; i < kPhotos; ++i) {
        const QImage photo = Photo(static_cast<unsigned>(i));
        // Quality 68-79 gives 3-5 MB here.
        const QByteArray plain = Jpeg(photo, 68 + i % 12);
        const QByteArray preview = Jpeg(photo.scaled(160, 120, Qt::KeepAspectRatio), 80);
        const auto camera = tl::testing::WithExifPreview(Bytes(plain), Bytes(preview));
        const std::string name = "IMG_" + std::to_string(4100 + i) + ".JPG";
        Write(folder / ("camera-" + name), QByteArray(reinterpret_cast<const char*>(camera.data()),
                                                      static_cast<qsizetype>(camera.size())));
        Write(folder / ("plain-" + name), plain);
        both.emplace_back((folder / ("camera-" + name)).string(),
                          (folder / ("plain-" + name)).string());
        std::printf("  photo %d: %.1f MB\n", i + 1, plain.size() / 1e6);
    }
    std::vector<std::string> others;
    const char* kinds[] = {".pdf", ".txt", ".docx", ".xlsx", ".zip"};
    for (int i = 0; i < kOthers; ++i) {
        const std::size_t size = 10'000 + random() % 2'000'000;
        QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
        for (auto& b : bytes) b = static_cast<char>(random() % 64 + 32);
        const fs::path p = folder / ("document-" + std::to_string(i) + kinds[i % 5]);
        Write(p, bytes);
        others.push_back(p.string());
    }
    for (const Date date : {kWithPreviews, kWithoutPreviews}) {
        std::uint32_t order = 1;
        // Photographs and documents mixed, as a trip's entry would have them.
        int p = 0, o = 0;
        for (int i = 0; i < kPhotos + kOthers; ++i) {
            const bool takePhoto = (i % 5 < 3 && p < kPhotos) || o >= kOthers;
            const std::string& source =
                takePhoto ? (date == kWithPreviews ? both[p].first : both[p].second) : others[o];
            takePhoto ? ++p : ++o;
            if (file.AttachFile(source, date, order++) != 1) return false;
        }
        std::u16string text;
        for (int k = 0; k < 40; ++k) text += u"A day by the sea, photographs of every hour. ";
        tl::store::EntryHeader header;
        header.title = u"By the sea";
        if (!file.SaveEntry(date, header, text)) return false;
    }
    file.Close();
    fs::remove_all(folder);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::optional<tl::bench::RunOptions> run = tl::bench::ParseRunOptions(
        argc, argv, std::string(TL_BENCH_DATA_DIR) + "/strip-50-attachments.dat", 5, 1);
    if (!run) return 2;
    const std::string data = run->data;
    const int runs = run->runs;
    QApplication app(argc, argv);
    if (!fs::exists(data)) {
        std::printf("generating %s ...\n", data.c_str());
        fs::create_directories(fs::path(data).parent_path());
        if (!Generate(data)) {
            std::fprintf(stderr, "could not generate %s\n", data.c_str());
            fs::remove(data);
            return 1;
        }
    }
    tl::store::CDiaryDataFile file;
    file.SetPath(data);
    file.SetKey(tl::store::DeriveDataFileKey());
    if (file.Open(false) != tl::store::OpenResult::Opened) {
        std::fprintf(stderr, "cannot open %s\n", data.c_str());
        return 1;
    }
    std::printf("%s: %.1f MB, %d processors\n", data.c_str(), fs::file_size(data) / 1e6,
                QThread::idealThreadCount());
    tl::app::AppSettings settings;
    settings.etc.firstFocusTitle = 0;
    QMdiArea area;
    area.resize(1000, 700);
    area.show();
    tl::diary::CDiaryDocuments documents({&settings, &file, &tl::res::Silent(), {}}, &area);

    // The event loop's pulse: the longest gap between two ticks of a 5 ms
    // timer is the longest the window could not answer.
    Clock::time_point lastTick = Clock::now();
    double longestGap = 0;
    QTimer pulse;
    pulse.setInterval(5);
    QObject::connect(&pulse, &QTimer::timeout, [&] {
        const Clock::time_point now = Clock::now();
        longestGap = std::max(longestGap, Millis(now - lastTick));
        lastTick = now;
    });

    for (const Date date : {kWithPreviews, kWithoutPreviews}) {
        std::printf("%s\n", date == kWithPreviews
                                ? "photographs with the camera's preview:"
                                : "photographs without a preview (every one decoded):");
        tl::bench::Figures usable, complete, gaps, cpu;
        for (int run = 0; run < runs + 1; ++run) {
            const Clock::time_point start = Clock::now();
            const double cpuStart = CpuMillis();
            tl::diary::CMarlowDoc* doc = documents.OpenEntry(date, true);
            if (!doc) return 1;
            // The text is usable once the window has been laid out and
            // painted: one pass of the event loop after opening.
            QApplication::processEvents();
            const double textMs = Millis(Clock::now() - start);
            lastTick = Clock::now();
            longestGap = 0;
            pulse.start();
            while (doc->attachments().loading())
                QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
            const double doneMs = Millis(Clock::now() - start);
            const double cpuMs = CpuMillis() - cpuStart;
            pulse.stop();
            std::size_t pictures = 0;
            for (std::size_t i = 0; i < doc->attachments().size(); ++i)
                pictures +=
                    doc->attachments().at(i).thumbState() == tl::diary::CAttachFile::Thumb::Ready;
            if (run == 0) {
                std::printf(
                    "  (first run, cold: text %.1f ms, strip %.1f ms; %zu attachments, %zu "
                    "thumbnails)\n",
                    textMs, doneMs, doc->attachments().size(), pictures);
            } else {
                usable.add(textMs);
                complete.add(doneMs);
                gaps.add(longestGap);
                cpu.add(cpuMs);
            }
            documents.CloseAll();
            QApplication::processEvents();
        }
        usable.print("  open until the text is usable");
        complete.print("  open until every thumbnail is shown");
        gaps.print("  longest pause of the event loop");
        cpu.print("  processor time, all threads");
    }
    file.Close();
    return 0;
}
