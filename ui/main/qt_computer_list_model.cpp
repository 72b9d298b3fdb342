// The computer list's model: shown rows as numbers into the text columns, sorted by ranks.
#include "ui/main/qt_computer_list_model.h"

#include <algorithm>
#include <numeric>

#include <QString>

namespace tavrix {

void ComputerListModel::setRows(ComputerListTable rows) {
  beginResetModel();
  rows_ = std::move(rows);
  filter_.setRows(rows_);
  ranks_.assign(kComputerListColumns.size(), {});
  order_.resize(rows_.size());
  std::iota(order_.begin(), order_.end(), 0U);
  filter_.apply(typed_, matching_);
  showMatching();
  endResetModel();
  emit countChanged();
}

void ComputerListModel::setFilter(std::string_view typed) {
  typed_ = typed;
  changeShownRows(rows_.size(), [&] {
    filter_.apply(typed_, matching_);
    showMatching();
  });
  emit countChanged();
}

// Every row, hidden ones too, by its text's rank: equal texts keep their order.
void ComputerListModel::sortAscending(int column) {
  if (column < 0 || column >= columnCount()) return;
  const std::vector<std::uint32_t>& ranks = ranksOf(column);
  changeShownRows(rows_.size(), [&] {
    const auto c = static_cast<std::size_t>(column);
    ui::sortByRank(order_, ranks, [&](std::uint32_t row) { return rows_.valueId(row, c); });
    showMatching();
  });
}

void ComputerListModel::showMatching() {
  shown_.clear();
  for (const std::uint32_t row : order_)
    if (matching_[row]) shown_.push_back(row);
  shown_.shrink_to_fit();
}

// A text as Qt's case-insensitive comparison sees it: each UTF-16 unit folded as it folds them (a
// low surrogate as the low half of its folded character), so comparing two keys unit by unit and
// then by length orders them exactly as QString::compare(..., Qt::CaseInsensitive) does.
std::u16string caseFoldedKey(std::string_view utf8) {
  const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  std::u16string key;
  key.reserve(static_cast<std::size_t>(text.size()));
  char16_t last = 0;
  for (const QChar unit : text) {
    const char16_t ch = unit.unicode();
    char32_t ucs4 = ch;
    if (QChar::isLowSurrogate(ch) && QChar::isHighSurrogate(last)) ucs4 = QChar::surrogateToUcs4(last, ch);
    last = ch;
    const char32_t folded = QChar::toCaseFolded(ucs4);
    key.push_back(QChar::requiresSurrogates(ucs4) ? QChar::lowSurrogate(folded) : static_cast<char16_t>(folded));
  }
  return key;
}

// The column's distinct texts in the order of a case-insensitive comparison of their shown texts;
// texts that compare equal share a rank.
const std::vector<std::uint32_t>& ComputerListModel::ranksOf(int column) {
  std::vector<std::uint32_t>& ranks = ranks_[static_cast<std::size_t>(column)];
  const DistinctTexts& values = rows_.values(static_cast<std::size_t>(column));
  if (ranks.size() == values.size()) return ranks;
  std::vector<std::u16string> keys;
  keys.reserve(values.size());
  for (std::uint32_t id = 0; id < values.size(); ++id) keys.push_back(caseFoldedKey(values.text(id)));
  std::vector<std::uint32_t> ids(values.size());
  std::iota(ids.begin(), ids.end(), 0U);
  std::sort(ids.begin(), ids.end(), [&](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
  ranks.assign(values.size(), 0);
  std::uint32_t rank = 0;
  for (std::size_t k = 1; k < ids.size(); ++k) {
    if (keys[ids[k - 1]] != keys[ids[k]]) ++rank;
    ranks[ids[k]] = rank;
  }
  return ranks;
}

std::size_t ComputerListModel::memoryBytes() const {
  std::size_t bytes = rows_.memoryBytes() + filter_.memoryBytes() +
                      (order_.capacity() + shown_.capacity()) * sizeof(std::uint32_t) + matching_.capacity();
  for (const std::vector<std::uint32_t>& ranks : ranks_) bytes += ranks.capacity() * sizeof(std::uint32_t);
  return bytes;
}

int ComputerListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(kComputerListColumns.size());
}

QVariant ComputerListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  const std::string_view shown = text(index.row(), index.column());
  return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
}

QVariant ComputerListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount()) return {};
  return QString::fromUtf8(kComputerListColumns[static_cast<std::size_t>(section)].header);
}

}  // namespace tavrix
