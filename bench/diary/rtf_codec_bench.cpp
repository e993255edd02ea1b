// Loading and saving an entry stream its rich text through the RTF reader
// and writer; pasting uses the same reader. Entries are usually 1-10 KB of
// RTF; 100 KB is a long one. The parser alone (import's plain text) is
// measured without Qt by bench/rtf.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <cstdlib>
#include <string_view>

#include "diary/rtf_reader.h"
#include "diary/rtf_writer.h"

namespace {

// A diary entry of mixed Japanese and English sentences whose format
// changes with every sentence, grown until its RTF has at least the given
// size.
void FillEntry(QTextDocument& document, qsizetype rtfBytes) {
    const QString sentences[] = {
        QString::fromUtf8("今日は朝から雨が降っていたので、駅まで歩いて傘を買った。"),
        QStringLiteral("Walked to the station and back before the rain got heavier. "),
        QString::fromUtf8("午後は図書館で本を三冊借りて、夕方まで読んでいた。"),
        QStringLiteral("Dinner with Aki: curry, salad\tand far too much tea. "),
    };
    QTextCharFormat formats[6];
    formats[1].setFontWeight(QFont::Bold);
    formats[2].setForeground(QColor(200, 30, 30));
    formats[3].setFontPointSize(14);
    formats[3].setFontItalic(true);
    formats[4].setBackground(QColor(255, 255, 0));
    formats[4].setFontUnderline(true);
    formats[5].setFontFamilies({QString::fromUtf8("ＭＳ 明朝")});

    document.setDefaultFont(QFont("Sans Serif", 10));
    QTextCursor cursor(&document);
    int n = 0;
    while (true) {
        for (int paragraph = 0; paragraph < 10; ++paragraph) {
            QTextBlockFormat block;
            block.setAlignment(paragraph % 4 == 3 ? Qt::AlignHCenter : Qt::AlignLeft);
            block.setLeftMargin(paragraph % 3 == 2 ? 24 : 0);
            if (n > 0) cursor.insertBlock(block, QTextCharFormat());
            for (int s = 0; s < 5; ++s, ++n) {
                cursor.insertText(sentences[n % 4], formats[n % 6]);
            }
        }
        if (tl::diary::WriteRtf(document).size() >= rtfBytes) return;
    }
}

void BM_WriteRtf(benchmark::State& state) {
    QTextDocument document;
    FillEntry(document, state.range(0) << 10);
    qsizetype bytes = 0;
    for (auto _ : state) {
        QByteArray rtf = tl::diary::WriteRtf(document);
        bytes = rtf.size();
        benchmark::DoNotOptimize(rtf.data());
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["rtf_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_WriteRtf)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_ReadRtf(benchmark::State& state) {
    QTextDocument source;
    FillEntry(source, state.range(0) << 10);
    const QByteArray rtf = tl::diary::WriteRtf(source);
    QTextDocument document;
    for (auto _ : state) {
        if (!tl::diary::ReadRtf(rtf, document)) state.SkipWithError("not read");
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
    state.counters["rtf_bytes"] = static_cast<double>(rtf.size());
}
BENCHMARK(BM_ReadRtf)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace

// Documents need fonts, fonts need a QGuiApplication; offscreen needs no
// display.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
