#include "attachment_rules.h"

#include <algorithm>

#include "exchange/exchange_texts.h"
#include "res/messages.h"
#include "store/codepage.h"

namespace tl::diary {

std::uint32_t NextAttachmentOrder(std::uint32_t storedMax, std::span<const std::uint32_t> shown) {
    std::uint32_t most = storedMax;
    for (std::uint32_t order : shown) most = std::max(most, order);
    return most + 1;
}

std::string AttachmentTooltip(const store::AttachmentInfo& info) {
    std::string text = store::Utf16ToUtf8(info.name);
    if (info.compressed) {
        text += "\n Original size: " + exchange::GroupedNumber(info.originalSize) + " Bytes";
        text += "\n Compressed size: " + exchange::GroupedNumber(info.storedSize) + " Bytes";
    } else {
        text += "\n Size: " + exchange::GroupedNumber(info.originalSize) + " Bytes";
    }
    return text;
}

std::string DeleteAttachmentsQuestion(std::size_t selected) {
    return res::FormatText(res::Msg::DeleteAttachedFiles, {selected == 1 ? "" : "s"});
}

}  // namespace tl::diary
