// Filtering, counting and writing out the computer list's rows.
#include "views/list_filter.h"

#include "views/text_search.h"

namespace tavrix {

void ListFilter::setRows(const std::vector<ComputerListRow>& rows) {
  texts_.clear();
  texts_.reserve(rows.size());
  for (const ComputerListRow& row : rows) {
    std::string joined;
    for (std::size_t c = 0; c < kShownListColumns; ++c) {
      if (c) joined += '\t';  // a word never spans two columns: words hold no tab
      joined += row[c];
    }
    texts_.push_back(foldForSearch(joined));
  }
}

std::size_t ListFilter::apply(std::string_view typed, std::vector<char>& shown) const {
  const std::vector<std::string> words = searchWords(foldForSearch(typed));
  shown.resize(texts_.size());
  std::size_t count = 0;
  for (std::size_t i = 0; i < texts_.size(); ++i) {
    shown[i] = containsAllWords(texts_[i], words);
    count += shown[i] ? 1 : 0;
  }
  return count;
}

namespace {

std::string withThousands(std::size_t n) {
  std::string digits = std::to_string(n), out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

std::string tsvField(std::string_view field) {
  std::string out(field);
  for (char& c : out)
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  return out;
}

std::string csvField(std::string_view field) {
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(field);
  std::string out = "\"";
  for (char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + '"';
}

template <typename Field>
void appendLine(std::string& out, const TextRow& row, char separator, Field field, std::string_view end) {
  for (std::size_t i = 0; i < row.size(); ++i) {
    if (i) out += separator;
    out += field(row[i]);
  }
  out += end;
}

}  // namespace

std::string listCountText(std::size_t total, std::size_t shown, bool filtering) {
  if (!filtering) return withThousands(total) + " 台";
  return withThousands(total) + " 台中 " + withThousands(shown) + " 台";
}

std::string rowsAsTsv(const std::vector<TextRow>& rows) {
  std::string out;
  for (const TextRow& row : rows) appendLine(out, row, '\t', tsvField, "\n");
  return out;
}

std::string rowsAsCsv(const TextRow& header, const std::vector<TextRow>& rows) {
  std::string out = "\xEF\xBB\xBF";
  appendLine(out, header, ',', csvField, "\r\n");
  for (const TextRow& row : rows) appendLine(out, row, ',', csvField, "\r\n");
  return out;
}

}  // namespace tavrix
