// Folding for search and word matching over folded text.
#include "views/text_search.h"

#include "platform/text.h"

namespace tavrix {

namespace {

// U+FF01..U+FF5E are EF BC 81..EF BC BF and EF BD 80..EF BD 9E; U+3000 is E3 80 80.
bool fullWidthAscii(std::string_view s, std::size_t i, char& ascii) {
  if (i + 3 > s.size()) return false;
  const auto b0 = static_cast<unsigned char>(s[i]), b1 = static_cast<unsigned char>(s[i + 1]),
             b2 = static_cast<unsigned char>(s[i + 2]);
  if (b0 == 0xE3 && b1 == 0x80 && b2 == 0x80) {
    ascii = ' ';
    return true;
  }
  if (b0 != 0xEF || (b1 != 0xBC && b1 != 0xBD) || b2 < 0x80 || b2 > 0xBF) return false;
  const int code = 0xFF00 + (b1 - 0xBC) * 0x40 + (b2 - 0x80);
  if (code < 0xFF01 || code > 0xFF5E) return false;
  ascii = static_cast<char>(code - 0xFF01 + 0x21);
  return true;
}


}  // namespace

std::string foldForSearch(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    char ascii = 0;
    if (fullWidthAscii(utf8, i, ascii)) {
      out += text::lowerAscii(ascii);
      i += 3;
    } else {
      out += text::lowerAscii(utf8[i]);
      ++i;
    }
  }
  return out;
}

std::vector<std::string> searchWords(std::string_view folded) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < folded.size()) {
    while (i < folded.size() && (folded[i] == ' ' || folded[i] == '\t')) ++i;
    std::size_t end = i;
    while (end < folded.size() && folded[end] != ' ' && folded[end] != '\t') ++end;
    if (end > i) words.emplace_back(folded.substr(i, end - i));
    i = end;
  }
  return words;
}

bool containsAllWords(std::string_view folded, const std::vector<std::string>& words) {
  for (const std::string& word : words)
    if (folded.find(word) == std::string_view::npos) return false;
  return true;
}

int nextMatchingLine(const std::vector<std::string>& foldedLines, const std::vector<std::string>& words, int after) {
  const int n = static_cast<int>(foldedLines.size());
  if (words.empty() || n == 0) return -1;
  if (after < -1 || after >= n) after = -1;
  for (int step = 1; step <= n; ++step) {
    const int line = (after + step) % n;
    if (containsAllWords(foldedLines[static_cast<std::size_t>(line)], words)) return line;
  }
  return -1;
}

}  // namespace tavrix
