// Lists of texts held as columns: each column's distinct texts once, and per row a number into them.
// Names, dates and OS names repeat across a fleet, so a million rows stay compact.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavrix {

// Texts one after another in a shared buffer, each reached by its number.
class PackedTexts {
 public:
  std::uint32_t append(std::string_view text);
  std::size_t size() const { return starts_.size(); }
  std::string_view text(std::uint32_t id) const {
    const std::uint32_t end = id + 1 < starts_.size() ? starts_[id + 1] : static_cast<std::uint32_t>(bytes_.size());
    return std::string_view(bytes_).substr(starts_[id], end - starts_[id]);
  }
  std::size_t memoryBytes() const { return bytes_.capacity() + starts_.capacity() * sizeof(std::uint32_t); }

 private:
  std::string bytes_;
  std::vector<std::uint32_t> starts_;
};

// One column's distinct texts, each stored once.
class DistinctTexts {
 public:
  // The number of text, adding it when new.
  std::uint32_t intern(std::string_view text);
  std::size_t size() const { return texts_.size(); }
  std::string_view text(std::uint32_t id) const { return texts_.text(id); }
  std::size_t memoryBytes() const { return texts_.memoryBytes() + slots_.capacity() * sizeof(std::uint64_t); }

 private:
  void grow();

  PackedTexts texts_;
  std::vector<std::uint64_t> slots_;  // open addressing: id + 1 and the hash's high half, 0 for an empty slot
};

// Rows of texts kept as columns; a row is any indexable sequence of at least columnCount() texts.
class TextColumns {
 public:
  explicit TextColumns(std::size_t columns = 0) : values_(columns), ids_(columns) {}
  std::size_t columnCount() const { return ids_.size(); }
  std::size_t size() const { return ids_.empty() ? 0 : ids_[0].size(); }
  template <typename Row>
  void append(const Row& row) {
    for (std::size_t c = 0; c < ids_.size(); ++c) ids_[c].push_back(values_[c].intern(row[c]));
  }
  std::string_view text(std::size_t row, std::size_t column) const { return values_[column].text(ids_[column][row]); }
  std::uint32_t valueId(std::size_t row, std::size_t column) const { return ids_[column][row]; }
  const DistinctTexts& values(std::size_t column) const { return values_[column]; }
  // Puts the rows in this order: row i becomes the row that was order[i].
  void reorder(const std::vector<std::uint32_t>& order);
  std::size_t memoryBytes() const;

 private:
  std::vector<DistinctTexts> values_;
  std::vector<std::vector<std::uint32_t>> ids_;
};

}  // namespace tavrix
