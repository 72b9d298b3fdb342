// Field values as text and numbers, and quoted identifiers.
#include <charconv>
#include <cmath>

#include "platform/db.h"
#include "platform/text.h"

namespace tavrix::db {

namespace {

std::string realText(double d) {
  char buffer[32];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, d);
  return ec == std::errc() ? std::string(buffer, end) : std::string();
}

std::int64_t roundToInt(double d) {
  if (!std::isfinite(d) || std::fabs(d) > 9.2e18) return 0;
  return static_cast<std::int64_t>(std::nearbyint(d));  // half to even, as the platform rounds
}

std::int64_t textToInt(std::string_view s) {
  s = text::trim(s);
  if (s.empty()) return 0;
  std::int64_t i = 0;
  auto [iend, iec] = std::from_chars(s.data(), s.data() + s.size(), i);
  if (iec == std::errc() && iend == s.data() + s.size()) return i;
  double d = 0;
  auto [dend, dec] = std::from_chars(s.data(), s.data() + s.size(), d);
  if (dec == std::errc() && dend == s.data() + s.size()) return roundToInt(d);
  return 0;
}

}  // namespace

std::string Value::text() const {
  if (auto* i = std::get_if<std::int64_t>(&v_)) return std::to_string(*i);
  if (auto* d = std::get_if<double>(&v_)) return realText(*d);
  if (auto* s = std::get_if<std::string>(&v_)) return *s;
  return std::string();
}

std::int64_t Value::toInt() const {
  if (auto* i = std::get_if<std::int64_t>(&v_)) return *i;
  if (auto* d = std::get_if<double>(&v_)) return roundToInt(*d);
  if (auto* s = std::get_if<std::string>(&v_)) return textToInt(*s);
  return 0;
}

void appendQuotedIdentifier(std::string& out, std::string_view name) {
  out += '"';
  if (name.find('"') == std::string_view::npos) {  // the usual name: appended whole (the import's hot path)
    out.append(name);
    out += '"';
    return;
  }
  for (char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

std::string quoteIdentifier(std::string_view name) {
  std::string quoted;
  appendQuotedIdentifier(quoted, name);
  return quoted;
}

}  // namespace tavrix::db
