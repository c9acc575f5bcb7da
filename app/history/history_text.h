// The texts of a history row: the recipients, the forward date and the keeping deadline.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/history/cls_histroy.h"

// The server keeps the files of a forward this many calendar days.
inline constexpr int kKeepingDays = 5;

// A date and time of day as the history shows it.
struct ForwardTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  bool operator==(const ForwardTime&) const = default;
};

// Reads "yyyy/mm/dd hh:nn:ss" (also with "-" between the date's parts, one-digit parts, the
// seconds or the whole time left out); nothing for a text that is no valid date.
std::optional<ForwardTime> ParseForwardDate(std::u16string_view text);

// The same time of day `days` calendar days later, across month and year ends.
ForwardTime AddDays(const ForwardTime& time, int days);

// "yyyy年mm月dd日 hh:nn".
std::u16string FormatForwardTime(const ForwardTime& time);

// Recipient 1 always, then recipients 2 to 5 up to the first without a name, each as
// "name(mail)", joined by "、".
std::u16string RecipientText(const clsHistroy& record);
