// The test converter: MLConv OLD TARGET. OLD is a scenario, one step a
// line, played in order through the converter objects:
//   progress N        the progress value N (the window shows N / 2 %)
//   message TEXT      a message to show (sent in code page 932)
//   password TEXT     asks for the old diary's password; any answer but
//                     "correct" ends with exit code 4
//   wait-cancel       sends progress until this program asks to cancel
//   crash             dies (abort)
//   crash-locked      dies holding the lock
//   diary SEED        writes the sample old diary of SEED into TARGET in
//                     the generation 2.1 layouts
// After every progress step a cancel ends the run with exit code 3. Any
// other failure: exit code 1.

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "app/converter_channel.h"
#include "store/codepage.h"
#include "support/old_data_files.h"

using namespace tl;
using app::ConvertEvent;

namespace {

std::string Ansi(const std::string& utf8) {
    return store::ToAnsiLossy(store::Utf8ToUtf16(utf8)).bytes;
}

bool SendProgress(app::ConverterChannel& channel, int value) {
    if (!channel.lock()) return false;
    channel.setProgress(value);
    channel.unlock();
    channel.signal(ConvertEvent::Progress);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 1;
    const char* suffix = std::getenv(app::kConvertNamesVariable);
    auto channel = app::ConverterChannel::Open(suffix ? suffix : "");
    if (!channel) return 1;
    std::ifstream scenario(argv[1]);
    if (!scenario) return 1;
    std::string line;
    while (std::getline(scenario, line)) {
        std::istringstream in(line);
        std::string step;
        in >> step;
        std::string rest;
        std::getline(in >> std::ws, rest);
        if (step == "progress") {
            if (!SendProgress(*channel, std::stoi(rest))) return 1;
            // Time for this program to answer before the next step.
            if (channel->wait(ConvertEvent::Cancel, std::chrono::milliseconds(20))) return 3;
        } else if (step == "message") {
            if (!channel->lock()) return 1;
            channel->setMessage(Ansi(rest));
            channel->unlock();
            channel->signal(ConvertEvent::Message);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        } else if (step == "password") {
            if (!channel->lock()) return 1;
            channel->setPassword(Ansi(rest));
            channel->unlock();
            channel->signal(ConvertEvent::Password);
            if (!channel->wait(ConvertEvent::PasswordAnswer, std::chrono::seconds(60))) return 1;
            if (!channel->lock()) return 1;
            const std::int32_t answer = channel->answer();
            channel->unlock();
            if (answer != static_cast<std::int32_t>(app::PasswordAnswer::Correct)) return 4;
        } else if (step == "wait-cancel") {
            for (int i = 0; i < 3000; ++i) {
                if (!SendProgress(*channel, i % 200)) return 1;
                if (channel->wait(ConvertEvent::Cancel, std::chrono::milliseconds(10))) return 3;
            }
            return 1;
        } else if (step == "crash") {
            std::abort();
        } else if (step == "crash-locked") {
            (void)channel->lock();
            std::abort();
        } else if (step == "diary") {
            try {
                tl::testing::WriteOldDataFile(5, tl::testing::SampleOldDiary(std::stoul(rest)),
                                              argv[2]);
            } catch (...) {
                return 1;
            }
        } else if (!step.empty()) {
            return 1;
        }
    }
    return 0;
}
