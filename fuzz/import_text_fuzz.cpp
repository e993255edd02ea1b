// Feeds arbitrary bytes to the import's text parser: decoding in each of
// the three encodings and the TITLE and WEATHER header lines. The text of
// an entry is always the end of what was decoded, and header values never
// span lines.

#include <cstdint>
#include <cstdlib>
#include <span>

#include "exchange/import_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tl::exchange;
    for (Encoding encoding : {Encoding::Ansi, Encoding::Unicode, Encoding::RichText}) {
        const std::u16string all = DecodeText(std::span(data, size), encoding);
        const EntryText e = SplitEntryText(all);
        if (e.text.size() > all.size() ||
            all.compare(all.size() - e.text.size(), e.text.size(), e.text) != 0)
            std::abort();
        if (e.title.find(u'\n') != std::u16string::npos ||
            e.weather.find(u'\n') != std::u16string::npos)
            std::abort();
        if (!e.bothHeaderLines && e.text != all) std::abort();
    }
    return 0;
}
