#include "year_month_checks.h"

namespace tl::calendar {

namespace {

// Reads like atoi: leading blanks, a sign, then digits up to the first other
// character; text without digits reads as 0.
int leadingNumber(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > 1'000'000'000L) break;  // far beyond any valid year; avoids overflow
    }
    return static_cast<int>(negative ? -value : value);
}

YearMonthCheck fail(res::Msg msg, YearMonthField field) {
    YearMonthCheck c;
    c.error = msg;
    c.field = field;
    return c;
}

}  // namespace

YearMonthCheck checkYearMonth(std::u16string_view year, std::u16string_view month) {
    if (year.empty()) return fail(res::Msg::EnterYear, YearMonthField::Year);
    const int y = leadingNumber(year);
    if (y <= 1899) return fail(res::Msg::Specify1900OrLater, YearMonthField::Year);
    if (month.empty()) return fail(res::Msg::EnterMonth, YearMonthField::Month);
    const int m = leadingNumber(month);
    if (m < 1 || m > 12) return fail(res::Msg::MonthIncorrect, YearMonthField::Month);
    YearMonthCheck ok;
    ok.year = y;
    ok.month = m;
    return ok;
}

std::u16string yearMonthFieldText(int value) {
    if (value == 0) return {};
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace tl::calendar
