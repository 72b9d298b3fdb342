// Compact answers: each value interned as its kind and its text.
#include "queries/result_rows.h"

#include <charconv>
#include <cstring>
#include <variant>

namespace tavrix::queries {

namespace {

// The stored form of a value: its kind's letter, its text, and for a real number a NUL and its
// exact bytes, so it comes back as it went in.
void encode(const db::Value& value, std::string& out) {
  out.clear();
  const auto& raw = value.raw();
  if (value.isNull()) {
    out += static_cast<char>(ValueKind::Null);
  } else if (const auto* text = std::get_if<std::string>(&raw)) {
    out += static_cast<char>(ValueKind::Text);
    out += *text;
  } else if (std::holds_alternative<std::int64_t>(raw)) {
    out += static_cast<char>(ValueKind::Integer);
    out += value.text();
  } else {
    const double number = std::get<double>(raw);
    out += static_cast<char>(ValueKind::Real);
    out += value.text();
    out += '\0';
    out.append(reinterpret_cast<const char*>(&number), sizeof number);
  }
}

}  // namespace

ResultRows::ResultRows(std::vector<std::string> columns)
    : columns_(std::move(columns)), values_(columns_.size()), encoded_(columns_.size()) {}

ResultRows::ResultRows(const ResultTable& table) : ResultRows(table.columns) {
  for (const ResultRow& row : table.rows) append(row);
}

void ResultRows::append(const ResultRow& row) {
  for (std::size_t c = 0; c < columns_.size(); ++c) encode(c < row.size() ? row[c] : db::Value(), encoded_[c]);
  values_.append(encoded_);
}

ResultRow ResultRows::row(std::size_t row) const {
  ResultRow values;
  values.reserve(columns_.size());
  for (std::size_t c = 0; c < columns_.size(); ++c) values.push_back(value(row, c));
  return values;
}

db::Value ResultRows::valueOf(std::size_t column, std::uint32_t id) const {
  const std::string_view text = textOf(column, id);
  switch (kindOf(column, id)) {
    case ValueKind::Null: return {};
    case ValueKind::Text: return std::string(text);
    case ValueKind::Integer: {
      std::int64_t number = 0;
      std::from_chars(text.data(), text.data() + text.size(), number);
      return number;
    }
    case ValueKind::Real: break;
  }
  double number = 0;
  std::memcpy(&number, values_.values(column).text(id).data() + 1 + text.size() + 1, sizeof number);
  return number;
}

ResultTable ResultRows::table(const std::vector<std::uint32_t>& picked) const {
  ResultTable table{columns_, {}};
  table.rows.reserve(picked.size());
  for (const std::uint32_t r : picked) table.rows.push_back(row(r));
  return table;
}

ResultTable ResultRows::table() const {
  ResultTable table{columns_, {}};
  table.rows.reserve(size());
  for (std::size_t r = 0; r < size(); ++r) table.rows.push_back(row(r));
  return table;
}

}  // namespace tavrix::queries
