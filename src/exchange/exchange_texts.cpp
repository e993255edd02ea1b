#include "exchange_texts.h"

namespace tl::exchange {

std::string GroupedNumber(std::uint64_t n) {
    std::string digits = std::to_string(n);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

std::string CountSummary(std::uint64_t diaries, std::uint64_t attachments) {
    std::string s;
    if (diaries > 0) s += FormatText(res::Msg::DiariesCount, {std::to_string(diaries)});
    if (attachments > 0)
        s += FormatText(res::Msg::AttachedFilesCount, {std::to_string(attachments)});
    return s;
}

std::string ExportQuestion(std::uint64_t diaries, std::uint64_t attachments) {
    return FormatText(res::Msg::AskStartExport, {CountSummary(diaries, attachments)});
}

std::string ImportQuestion(std::uint64_t diaries, std::uint64_t attachments) {
    return FormatText(res::Msg::AskStartImport, {CountSummary(diaries, attachments)});
}

std::string MergeQuestion(std::uint64_t texts, std::uint64_t attachments) {
    const std::string extra =
        attachments > 0 ? FormatText(res::Msg::MergeAttachmentsCount, {GroupedNumber(attachments)})
                        : std::string();
    return FormatText(res::Msg::AskStartMerge, {GroupedNumber(texts), extra});
}

}  // namespace tl::exchange
