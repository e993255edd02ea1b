#pragma once

// The confirmation and result texts of the exchange commands, built from
// the string table.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "res/messages.h"

namespace tl::exchange {

using res::FormatText;

// Decimal with a comma before every group of three digits from the right.
std::string GroupedNumber(std::uint64_t n);

// "Diaries:%d\n" when diaries is above 0, then "Attached files:%d" when
// attachments is above 0.
std::string CountSummary(std::uint64_t diaries, std::uint64_t attachments);

std::string ExportQuestion(std::uint64_t diaries, std::uint64_t attachments);
std::string ImportQuestion(std::uint64_t diaries, std::uint64_t attachments);
std::string MergeQuestion(std::uint64_t texts, std::uint64_t attachments);

}  // namespace tl::exchange
