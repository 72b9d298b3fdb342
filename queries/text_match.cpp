// ASCII-case-insensitive containment and ordering, and the matching LIKE patterns.
#include "queries/text_match.h"

#include <algorithm>

namespace tavrix::queries {

namespace {

unsigned char folded(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

}  // namespace

bool containsNoCase(std::string_view text, std::string_view part) {
  if (part.size() > text.size()) return false;
  const auto hit = std::search(text.begin(), text.end(), part.begin(), part.end(),
                               [](char a, char b) { return folded(a) == folded(b); });
  return hit != text.end() || part.empty();
}

int compareText(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i)
    if (folded(a[i]) != folded(b[i])) return folded(a[i]) < folded(b[i]) ? -1 : 1;
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  const int bytes = a.compare(b);
  return bytes < 0 ? -1 : (bytes > 0 ? 1 : 0);
}

bool isTextType(std::string_view declared) {
  std::string upper(declared);
  for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c);
  return upper.find("CHAR") != std::string::npos || upper.find("TEXT") != std::string::npos ||
         upper.find("CLOB") != std::string::npos;
}

std::string wholePattern(std::string_view text) {
  std::string pattern;
  for (char c : text) {
    if (c == '%' || c == '_' || c == '\\') pattern += '\\';
    pattern += c;
  }
  return pattern;
}

std::string containsPattern(std::string_view part) { return "%" + wholePattern(part) + "%"; }

bool fitsContainsPattern(std::string_view part) { return containsPattern(part).size() <= kLongestLikePattern; }

std::string containsSql(std::string_view column, int parameter) {
  return std::string(column) + " LIKE ?" + std::to_string(parameter) + " ESCAPE '\\'";
}

}  // namespace tavrix::queries
