#pragma once

// The number typed into a dialog's field, read as the dialogs always read
// it (the C library's atoi): leading blanks, a sign, then digits up to the
// first other character; text without digits reads as 0. Far beyond any
// valid value it saturates at one billion, so that nothing overflows.

#include <string_view>

namespace tl::widgets {

constexpr int ReadFieldNumber(std::u16string_view text) {
    constexpr long kLimit = 1'000'000'000L;
    std::size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value >= kLimit) {
            value = kLimit;
            break;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

static_assert(ReadFieldNumber(u" 12ms") == 12);
static_assert(ReadFieldNumber(u"-5") == -5);
static_assert(ReadFieldNumber(u"x1") == 0);
static_assert(ReadFieldNumber(u"99999999999") == 1'000'000'000);

}  // namespace tl::widgets
