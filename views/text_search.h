// Searching shown text: folding away case and width of Latin letters and digits, words, next match.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavrix {

// UTF-8 text made comparable for searching: full-width ASCII forms (U+FF01..U+FF5E) become their
// half-width letters, digits and signs, the ideographic space becomes a blank, and A-Z become a-z.
// Every other character is kept unchanged.
std::string foldForSearch(std::string_view utf8);

// The blank-separated words of a folded search text; none for blank text.
std::vector<std::string> searchWords(std::string_view folded);

// True when folded text holds every word (always for no words).
bool containsAllWords(std::string_view folded, const std::vector<std::string>& words);

// The first line after `after` (wrapping around to the start, `after` itself last) that holds every
// word; -1 when none does or there are no words. after = -1 starts at the first line.
int nextMatchingLine(const std::vector<std::string>& foldedLines, const std::vector<std::string>& words, int after);

}  // namespace tavrix
