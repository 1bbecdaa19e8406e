#include "filters/PresetParsing.h"

namespace {

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    bool Digits(std::size_t count, int& value)
    {
        if (text_.size() - at_ < count)
            return false;
        value = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const char c = text_[at_ + i];
            if (c < '0' || c > '9')
                return false;
            value = value * 10 + (c - '0');
        }
        at_ += count;
        return true;
    }

    bool Literal(char c)
    {
        if (at_ >= text_.size() || text_[at_] != c)
            return false;
        ++at_;
        return true;
    }

    // One to four characters up to the next digit.
    bool Separator(std::string_view& separator)
    {
        const std::size_t start = at_;
        while (at_ < text_.size() && (text_[at_] < '0' || text_[at_] > '9'))
            ++at_;
        separator = text_.substr(start, at_ - start);
        return !separator.empty() && separator.size() <= 4;
    }

    bool AtEnd() const { return at_ == text_.size(); }

private:
    std::string_view text_;
    std::size_t at_ = 0;
};

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

} // namespace

std::optional<DateTime> ParsePresetTime(std::string_view text)
{
    Reader r(text);
    DateTimeParts p;
    std::string_view first;
    std::string_view second;
    if (!r.Digits(4, p.year) || !r.Literal('-') || !r.Digits(2, p.month) || !r.Literal('-') ||
        !r.Digits(2, p.day) || !r.Literal(' ') || !r.Digits(2, p.hour) || !r.Separator(first) ||
        !r.Digits(2, p.minute) || !r.Separator(second) || !r.Digits(2, p.second) || !r.AtEnd())
        return std::nullopt;
    if (first != second || p.year < 1 || p.month < 1 || p.month > 12 || p.day < 1 ||
        p.day > DaysInMonth(p.year, p.month) || p.hour > 23 || p.minute > 59 || p.second > 59)
        return std::nullopt;
    return EncodeDateTime(p);
}
