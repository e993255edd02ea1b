#include "date_checks.h"

#include "entry_name.h"

namespace tl::diary {
namespace {

bool IsBlank(std::u16string_view text) {
    return text.find_first_not_of(u' ') == std::u16string_view::npos;
}

DateCheck Fail(res::Msg msg, DateField field) {
    return DateCheck{msg, field, {}};
}

DateCheck Check(std::u16string_view year, std::u16string_view month, std::u16string_view day,
                bool useMonth, bool useDay) {
    if (IsBlank(year)) return Fail(res::Msg::EnterYear, DateField::Year);
    int y = FieldNumber(year);
    if (y < kFirstYear) return Fail(res::Msg::Specify1900OrLater, DateField::Year);
    int m = 0, d = 0;
    if (useMonth) {
        if (IsBlank(month)) return Fail(res::Msg::EnterMonth, DateField::Month);
        m = FieldNumber(month);
        if (m < 1 || m > 12) return Fail(res::Msg::MonthIncorrect, DateField::Month);
    }
    if (useDay) {
        if (IsBlank(day)) return Fail(res::Msg::EnterDay, DateField::Day);
        d = FieldNumber(day);
        if (d < 1 || d > DaysInMonth(y, m)) return Fail(res::Msg::DayIncorrect, DateField::Day);
    }
    return DateCheck{std::nullopt, DateField::Year,
                     store::Date{static_cast<std::int16_t>(y), static_cast<std::uint8_t>(m),
                                 static_cast<std::uint8_t>(d)}};
}

}  // namespace

int FieldNumber(std::u16string_view text) {
    int value = 0;
    for (char16_t c : text) {
        if (c == u' ') continue;
        if (c < u'0' || c > u'9') break;
        value = value > 100000 ? value : value * 10 + (c - u'0');
    }
    return value;
}

DateCheck CheckEntryDate(std::u16string_view year, std::u16string_view month,
                         std::u16string_view day, bool hasMonth, bool hasDay) {
    return Check(year, month, day, hasMonth, hasMonth && hasDay);
}

DateCheck CheckOpenDate(std::u16string_view year, std::u16string_view month,
                        std::u16string_view day) {
    bool dayGiven = !IsBlank(day);
    if (!IsBlank(year) && FieldNumber(year) >= kFirstYear && dayGiven && IsBlank(month))
        return Fail(res::Msg::EnterMonth, DateField::Month);
    return Check(year, month, day, !IsBlank(month) || dayGiven, dayGiven);
}

}  // namespace tl::diary
