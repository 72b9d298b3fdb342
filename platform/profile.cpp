// Profile (ini) file reading with the lookup rules of the Windows profile functions.
#include "platform/profile.h"

#include "platform/paths.h"
#include "platform/text.h"

namespace tavrix::profile {
namespace {

constexpr std::size_t kMaxValueBytes = 511;

std::string_view trimSpace(std::string_view s) {
  auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) return v.substr(1, v.size() - 2);
  return v;
}

// The value buffer holds 511 bytes in the system code page; cut on a character boundary.
// Counted character by character (CP932 has no shift state), so a long value takes one pass.
std::string limitBytes(std::string_view utf8) {
  std::size_t bytes = 0, end = 0;
  while (end < utf8.size()) {
    std::size_t next = end + text::leftChars(utf8.substr(end), 1).size();
    bytes += text::utf8ToCp932(utf8.substr(end, next - end)).size();
    if (bytes > kMaxValueBytes) break;
    end = next;
  }
  return std::string(utf8.substr(0, end));
}

}  // namespace

std::string readString(const std::string& path, std::string_view section, std::string_view key,
                       std::string_view defaultValue) {
  auto bytes = paths::readFile(path);
  if (!bytes) return std::string(defaultValue);
  std::string content = text::decodeSettingsText(*bytes);
  bool inSection = false;
  for (const std::string& raw : text::split(content, '\n')) {
    std::string_view line = trimSpace(raw);
    if (line.empty()) continue;
    if (line.front() == '[') {
      std::size_t close = line.find(']');
      std::string_view name = trimSpace(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
      inSection = text::equalsNoCase(name, section);
      continue;
    }
    if (!inSection) continue;
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    if (!text::equalsNoCase(trimSpace(line.substr(0, eq)), key)) continue;
    return limitBytes(unquote(trimSpace(line.substr(eq + 1))));
  }
  return std::string(defaultValue);
}

}  // namespace tavrix::profile
