#include "year_month_checks.h"

#include "widgets/field_number.h"

namespace tl::calendar {

namespace {

YearMonthCheck fail(res::Msg msg, YearMonthField field) {
    YearMonthCheck c;
    c.error = msg;
    c.field = field;
    return c;
}

}  // namespace

YearMonthCheck checkYearMonth(std::u16string_view year, std::u16string_view month) {
    if (year.empty()) return fail(res::Msg::EnterYear, YearMonthField::Year);
    const int y = widgets::ReadFieldNumber(year);
    if (y <= 1899) return fail(res::Msg::Specify1900OrLater, YearMonthField::Year);
    if (month.empty()) return fail(res::Msg::EnterMonth, YearMonthField::Month);
    const int m = widgets::ReadFieldNumber(month);
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
