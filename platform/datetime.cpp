// Date-time values as the inventory stores them, with the formats the program shows and logs.
#include "platform/datetime.h"

#include <cstdio>

#include "platform/text.h"

namespace tavrix {
namespace {

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return (m == 2 && isLeap(y)) ? 29 : days[m - 1];
}

std::string format(const char* pattern, const DateTime& t) {
  char buffer[32];
  std::snprintf(buffer, sizeof(buffer), pattern, t.year, t.month, t.day, t.hour, t.minute, t.second);
  return buffer;
}

// Reads 1 to maxDigits digits at pos; false when there is none.
bool readNumber(std::string_view s, std::size_t& pos, int maxDigits, int& value) {
  std::size_t start = pos;
  value = 0;
  while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9' && static_cast<int>(pos - start) < maxDigits) {
    value = value * 10 + (s[pos] - '0');
    ++pos;
  }
  return pos > start;
}

}  // namespace

bool DateTime::isValid() const {
  return year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month) &&
         hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
}

std::string DateTime::storageText() const { return format("%04d-%02d-%02d %02d:%02d:%02d", *this); }
std::string DateTime::minuteText() const { return format("%04d/%02d/%02d %02d:%02d", *this); }
std::string DateTime::logStamp() const { return format("%04d/%02d/%02d %02d:%02d:%02d", *this); }
std::string DateTime::dayText() const { return format("%04d/%02d/%02d", *this); }
std::string DateTime::compactDay() const { return format("%04d%02d%02d", *this); }

std::optional<DateTime> DateTime::parse(std::string_view text) {
  std::string_view s = text::trim(text);
  DateTime t;
  std::size_t pos = 0;
  if (!readNumber(s, pos, 4, t.year) || pos != 4) return std::nullopt;
  if (pos >= s.size() || (s[pos] != '/' && s[pos] != '-')) return std::nullopt;
  char separator = s[pos++];
  if (!readNumber(s, pos, 2, t.month) || pos >= s.size() || s[pos++] != separator) return std::nullopt;
  if (!readNumber(s, pos, 2, t.day)) return std::nullopt;
  t.hour = t.minute = t.second = 0;
  if (pos < s.size()) {
    if (s[pos] != ' ' && s[pos] != 'T') return std::nullopt;
    while (pos < s.size() && (s[pos] == ' ' || s[pos] == 'T')) ++pos;
    if (!readNumber(s, pos, 2, t.hour) || pos >= s.size() || s[pos++] != ':') return std::nullopt;
    if (!readNumber(s, pos, 2, t.minute)) return std::nullopt;
    if (pos < s.size()) {
      if (s[pos++] != ':' || !readNumber(s, pos, 2, t.second)) return std::nullopt;
    }
    if (pos != s.size()) return std::nullopt;
  }
  if (!t.isValid()) return std::nullopt;
  return t;
}

std::optional<DateTime> DateTime::fromStorage(std::string_view text) { return parse(text); }

}  // namespace tavrix
