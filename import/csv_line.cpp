// One inventory CSV line split into fields, and the number conversions the reader applies to them.
#include "import/csv_line.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tavrix {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

void CsvLine::assign(std::string_view utf8Text) {
  text_.assign(utf8Text);
  fields_.clear();
  std::string_view s = text_;
  std::size_t start = 0;
  while (true) {
    std::size_t comma = s.find(',', start);
    if (comma == std::string_view::npos) {
      fields_.push_back(s.substr(start));
      return;
    }
    fields_.push_back(s.substr(start, comma - start));
    start = comma + 1;
  }
}

namespace csv {

std::optional<double> strictNumber(std::string_view field) {
  // Section and item of nearly every line: a few plain digits.
  if (!field.empty() && field.size() <= 9 &&
      std::all_of(field.begin(), field.end(), [](char c) { return isDigit(c); })) {
    int value = 0;
    for (char c : field) value = value * 10 + (c - '0');
    return value;
  }
  std::size_t begin = 0, end = field.size();
  while (begin < end && isBlank(field[begin])) ++begin;
  while (end > begin && isBlank(field[end - 1])) --end;
  std::string_view s = field.substr(begin, end - begin);
  std::size_t i = 0;
  std::string cleaned;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    if (s[i] == '-') cleaned += '-';
    ++i;
  }
  int mantissaDigits = 0;
  bool point = false;
  for (; i < s.size() && (isDigit(s[i]) || (s[i] == '.' && !point)); ++i) {
    if (s[i] == '.') point = true;
    else ++mantissaDigits;
    cleaned += s[i];
  }
  if (mantissaDigits == 0) return std::nullopt;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    cleaned += 'e';
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) cleaned += s[i++];
    int exponentDigits = 0;
    for (; i < s.size() && isDigit(s[i]); ++i, ++exponentDigits) cleaned += s[i];
    if (exponentDigits == 0) return std::nullopt;
  }
  if (i != s.size()) return std::nullopt;
  double value = 0;
  auto [ptr, ec] = std::from_chars(cleaned.data(), cleaned.data() + cleaned.size(), value);
  if (ec != std::errc() || ptr != cleaned.data() + cleaned.size()) return std::nullopt;
  return value;
}

std::string numberText(double value) {
  if (value == 0) return "0";  // also for -0
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof(buffer), value);
  return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

std::optional<int> roundHalfEven(double value, int low, int high) {
  if (!std::isfinite(value)) return std::nullopt;
  double r = std::nearbyint(value);  // the default rounding mode: nearest, ties to even
  if (r < low || r > high) return std::nullopt;
  return static_cast<int>(r);
}

}  // namespace csv

}  // namespace tavrix
