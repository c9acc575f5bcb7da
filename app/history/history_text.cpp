#include "app/history/history_text.h"

#include <cstdint>
#include <string>
#include <utility>

namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Reads 1 to `maxDigits` decimal digits at the front of `text`.
std::optional<int> TakeNumber(std::u16string_view& text, size_t maxDigits) {
  size_t digits = 0;
  int value = 0;
  while (digits < text.size() && digits < maxDigits && text[digits] >= u'0' &&
         text[digits] <= u'9') {
    value = value * 10 + (text[digits] - u'0');
    ++digits;
  }
  if (digits == 0) return std::nullopt;
  text.remove_prefix(digits);
  return value;
}

bool TakeChar(std::u16string_view& text, char16_t c) {
  if (text.empty() || text.front() != c) return false;
  text.remove_prefix(1);
  return true;
}

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian calendar).
int64_t DaysFromCivil(int year, int month, int day) {
  const int64_t y = year - (month <= 2 ? 1 : 0);
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yearOfEra = y - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(int64_t days, int& year, int& month, int& day) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t dayOfEra = days - era * 146097;
  const int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t monthIndex = (5 * dayOfYear + 2) / 153;
  day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

// `value` in decimal, zero-padded to `width` digits.
std::u16string Pad(int value, size_t width) {
  std::u16string digits;
  for (char c : std::to_string(value)) digits += static_cast<char16_t>(c);
  return digits.size() < width ? std::u16string(width - digits.size(), u'0') + digits : digits;
}

}  // namespace

std::optional<ForwardTime> ParseForwardDate(std::u16string_view text) {
  while (!text.empty() && text.front() == u' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == u' ') text.remove_suffix(1);
  ForwardTime time;
  const auto year = TakeNumber(text, 4);
  if (!year || text.empty()) return std::nullopt;
  const char16_t separator = text.front();
  if (separator != u'/' && separator != u'-') return std::nullopt;
  text.remove_prefix(1);
  const auto month = TakeNumber(text, 2);
  if (!month || !TakeChar(text, separator)) return std::nullopt;
  const auto day = TakeNumber(text, 2);
  if (!day) return std::nullopt;
  time.year = *year;
  time.month = *month;
  time.day = *day;
  if (time.year < 100 || time.month < 1 || time.month > 12 || time.day < 1 ||
      time.day > DaysInMonth(time.year, time.month)) {
    return std::nullopt;
  }
  if (text.empty()) return time;
  if (!TakeChar(text, u' ')) return std::nullopt;
  while (TakeChar(text, u' ')) {
  }
  const auto hour = TakeNumber(text, 2);
  if (!hour || !TakeChar(text, u':')) return std::nullopt;
  const auto minute = TakeNumber(text, 2);
  if (!minute) return std::nullopt;
  std::optional<int> second = 0;
  if (TakeChar(text, u':')) second = TakeNumber(text, 2);
  if (!second || !text.empty() || *hour > 23 || *minute > 59 || *second > 59) return std::nullopt;
  time.hour = *hour;
  time.minute = *minute;
  time.second = *second;
  return time;
}

ForwardTime AddDays(const ForwardTime& time, int days) {
  ForwardTime later = time;
  CivilFromDays(DaysFromCivil(time.year, time.month, time.day) + days, later.year, later.month,
                later.day);
  return later;
}

std::u16string FormatForwardTime(const ForwardTime& time) {
  return Pad(time.year, 4) + u"年" + Pad(time.month, 2) + u"月" + Pad(time.day, 2) + u"日 " +
         Pad(time.hour, 2) + u":" + Pad(time.minute, 2);
}

std::u16string RecipientText(const clsHistroy& record) {
  const std::pair<const std::u16string*, const std::u16string*> others[] = {
      {&record.Name2, &record.Mail2},
      {&record.Name3, &record.Mail3},
      {&record.Name4, &record.Mail4},
      {&record.Name5, &record.Mail5}};
  std::u16string text = record.Name1 + u"(" + record.Mail1 + u")";
  for (const auto& [name, mail] : others) {
    if (name->empty()) break;
    text += u"、" + *name + u"(" + *mail + u")";
  }
  return text;
}
