// Import reads the plain text of every entry's RTF through the parser. An
// entry is usually 1-10 KB of RTF; 100 KB is a long one.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

#include "rtf/rtf_plain_text.h"

namespace {

// Sentences as RTF writers put them: this program's writer (\u with code
// page 932 fallbacks), plain ASCII, and the platform's rich edit control
// (code page 932 bytes in hex, decoded through the font's charset).
constexpr std::string_view kSentences[] = {
    "\\uc2 "
    "\\u20170\\'8d\\'a1\\u26085\\'93\\'fa\\u12399\\'82\\'cd\\u26397\\'92\\'a9\\u12363\\'82\\'a9"
    "\\u12425\\'82\\'e7\\u-26904\\'89\\'4a\\u12364\\'82\\'aa\\u-27059\\'8d\\'7e\\u12387\\'82\\'c1"
    "\\u12390\\'82\\'c4\\u12356\\'82\\'a2\\u12383\\'82\\'bd\\u12398\\'82\\'cc\\u12391\\'82\\'c5"
    "\\u12289\\'81\\'41\\u-26171\\'89\\'77\\u12414\\'82\\'dc\\u12391\\'82\\'c5\\u27497\\'95\\'e0"
    "\\u12356\\'82\\'a2\\u12390\\'82\\'c4\\u20632\\'8e\\'50\\u12434\\'82\\'f0\\u-29513\\'94\\'83"
    "\\u12387\\'82\\'c1\\u12383\\'82\\'bd\\u12290\\'81\\'42\\uc1 ",
    "Walked to the station and back before the rain got heavier. ",
    "\\'8c\\'df\\'8c\\'e3\\'82\\'cd\\'90\\'7d\\'8f\\'91\\'8a\\'d9\\'82\\'c5\\'96\\'7b\\'82\\'f0\\'"
    "8e\\'4f"
    "\\'8d\\'fb\\'8e\\'d8\\'82\\'e8\\'82\\'c4\\'81\\'41\\'97\\'5b\\'95\\'fb\\'82\\'dc\\'82\\'c5\\'"
    "93\\'c7"
    "\\'82\\'f1\\'82\\'c5\\'82\\'a2\\'82\\'bd\\'81\\'42",
    "Dinner with Aki: curry, salad\\tab and far too much tea. ",
};
// Each sentence in a run of its own format, as in a formatted entry.
constexpr std::string_view kRunFormats[] = {
    "\\f0\\fs20 ",
    "\\f0\\fs20\\b ",
    "\\f0\\fs20\\cf1 ",
    "\\f0\\fs28\\i ",
    "\\f0\\fs20\\ul\\highlight2 ",
    "\\f1\\fs20 ",
};

// A diary entry of mixed Japanese and English paragraphs, grown until it
// has at least the given size.
std::string Entry(std::size_t bytes) {
    std::string rtf =
        "{\\rtf1\\ansi\\ansicpg932\\deff0\\uc1{\\fonttbl{\\f0\\fnil\\fcharset128 Sans Serif;}"
        "{\\f1\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}}"
        "{\\colortbl;\\red200\\green30\\blue30;\\red255\\green255\\blue0;}\n";
    for (int n = 0; rtf.size() < bytes;) {
        for (int paragraph = 0; paragraph < 10; ++paragraph) {
            rtf += paragraph % 4 == 3 ? "\\pard\\qc" : "\\pard\\ql";
            if (paragraph % 3 == 2) rtf += "\\li360";
            for (int s = 0; s < 5; ++s, ++n) {
                rtf += "{";
                rtf += kRunFormats[n % 6];
                rtf += kSentences[n % 4];
                rtf += "}";
            }
            rtf += "\\par\n";
        }
    }
    return rtf + "}";
}

void BM_RtfToPlainText(benchmark::State& state) {
    const std::string rtf = Entry(static_cast<std::size_t>(state.range(0)) << 10);
    // Both kinds of Japanese sentence must come out, or the figure is of an
    // input that fails early.
    const std::u16string text = tl::rtf::RtfToPlainText(rtf);
    if (text.find(u"傘を買った") == std::u16string::npos ||
        text.find(u"夕方まで読んでいた") == std::u16string::npos) {
        state.SkipWithError("the entry's text did not come out");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(tl::rtf::RtfToPlainText(rtf));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(rtf.size()));
    state.counters["rtf_bytes"] = static_cast<double>(rtf.size());
}
BENCHMARK(BM_RtfToPlainText)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
