// Filtering, counting and writing out the computer list's rows.
#include "views/list_filter.h"

#include "views/text_search.h"

namespace tavrix {

void ListFilter::setRows(const ComputerListTable& rows) {
  rows_ = &rows;
  folded_.assign(kShownListColumns, {});
  for (std::size_t c = 0; c < kShownListColumns; ++c) {
    const DistinctTexts& values = rows.values(c);
    // Two texts may fold alike; both keep their own entry, so the numbers stay the table's.
    for (std::uint32_t id = 0; id < values.size(); ++id) folded_[c].append(foldForSearch(values.text(id)));
  }
}

std::size_t ListFilter::apply(std::string_view typed, std::vector<char>& shown) const {
  const std::vector<std::string> words = searchWords(foldForSearch(typed));
  const std::size_t n = size();
  shown.assign(n, 1);
  if (words.empty()) return n;
  // hits[w][c][id]: the distinct text id of column c holds word w.
  std::vector<std::vector<std::vector<char>>> hits(words.size());
  for (std::size_t w = 0; w < words.size(); ++w) {
    hits[w].resize(kShownListColumns);
    for (std::size_t c = 0; c < kShownListColumns; ++c) {
      const PackedTexts& values = folded_[c];
      hits[w][c].resize(values.size());
      for (std::uint32_t id = 0; id < values.size(); ++id)
        hits[w][c][id] = values.text(id).find(words[w]) != std::string_view::npos;
    }
  }
  std::size_t count = 0;
  for (std::size_t i = 0; i < n; ++i) {
    bool all = true;
    for (std::size_t w = 0; w < words.size() && all; ++w) {
      bool any = false;
      for (std::size_t c = 0; c < kShownListColumns && !any; ++c) any = hits[w][c][rows_->valueId(i, c)];
      all = any;
    }
    shown[i] = all;
    count += all ? 1 : 0;
  }
  return count;
}

std::size_t ListFilter::memoryBytes() const {
  std::size_t bytes = 0;
  for (const PackedTexts& texts : folded_) bytes += texts.memoryBytes();
  return bytes;
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
