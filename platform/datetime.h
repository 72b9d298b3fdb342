// Date-time values as the inventory stores them, with the formats the program shows and logs.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavrix {

struct DateTime {
  int year = 1899, month = 12, day = 30;  // the zero date, 1899-12-30 00:00:00
  int hour = 0, minute = 0, second = 0;

  static DateTime zero() { return DateTime{}; }
  bool isValid() const;
  bool before1900() const { return year < 1900; }
  auto operator<=>(const DateTime&) const = default;

  std::string storageText() const;  // "yyyy-mm-dd hh:nn:ss", as stored in the database
  std::string minuteText() const;   // "yyyy/mm/dd hh:nn"
  std::string logStamp() const;     // "yyyy/mm/dd hh:nn:ss"
  std::string dayText() const;      // "yyyy/mm/dd"
  std::string compactDay() const;   // "yyyymmdd"

  // "yyyy-mm-dd hh:nn:ss" (also without the time, or with "/").
  static std::optional<DateTime> fromStorage(std::string_view text);
  // The collector's header date: y/m/d or y-m-d, one- or two-digit month and day, then an optional
  // h:nn or h:nn:ss time; blanks around are ignored. nullopt when it is no real date.
  static std::optional<DateTime> parse(std::string_view text);
};

}  // namespace tavrix
