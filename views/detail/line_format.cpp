// Spacers, padding and NULL-aware text tests for the tree lines.
#include "views/detail/line_format.h"

#include "platform/datetime.h"
#include "platform/text.h"

namespace tavrix {

std::string spacer(int blanks) { return std::string(static_cast<std::size_t>(blanks), ' ') + ": "; }

std::string leftAligned(const db::Value& v, std::size_t n) {
  return v.isNull() ? std::string() : text::padRight(v.text(), n);
}

std::string rightAligned(const db::Value& v, std::size_t n) {
  return v.isNull() ? std::string() : text::padLeft(v.text(), n);
}

std::optional<std::size_t> charLength(const db::Value& v) {
  if (v.isNull()) return std::nullopt;
  return text::charCount(v.text());
}

bool isEmptyText(const db::Value& v) {
  auto n = charLength(v);
  return n && *n == 0;
}

bool isNotEmptyText(const db::Value& v) {
  auto n = charLength(v);
  return n && *n > 0;
}

bool hasFewerChars(const db::Value& v, std::size_t n) {
  auto len = charLength(v);
  return len && *len < n;
}

db::Value trimmed(const db::Value& v) {
  if (v.isNull()) return v;
  return db::Value(std::string(text::trim(v.text())));
}

std::string minuteText(const db::Value& v) {
  if (v.isNull()) return {};
  std::string stored = v.text();
  auto t = DateTime::fromStorage(stored);
  return t ? t->minuteText() : stored;
}

}  // namespace tavrix
