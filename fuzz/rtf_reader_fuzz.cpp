// Feeds arbitrary bytes to the editor's RTF reader: loading and pasting must
// return for every input, and what was loaded must come back with the same
// text after the writer and the reader again. The parser alone is fuzzed
// without Qt by rtf_parser_fuzz.

#include <QByteArrayView>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <cstdint>
#include <cstdlib>

#include "diary/rtf_reader.h"
#include "diary/rtf_writer.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication app(*argc, *argv);  // documents need fonts
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tl::diary;
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));

    QTextDocument target;
    target.setPlainText("ab");
    QTextCursor cursor(&target);
    cursor.setPosition(1);
    (void)InsertRtf(bytes, cursor);

    QTextDocument document;
    if (!ReadRtf(bytes, document)) return 0;
    QTextDocument copy;
    if (!ReadRtf(WriteRtf(document), copy) || copy.toRawText() != document.toRawText()) {
        std::abort();
    }
    return 0;
}
