// TSV, CSV and JSON text of a result table.
#include "queries/row_output.h"

#include <cstdio>
#include <variant>

#include "platform/text.h"

namespace tavrix::queries {

namespace {

std::string csvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  return "\"" + text::replaceAll(std::string(text), "\"", "\"\"") + "\"";
}

void appendCsvLine(std::string& out, const std::vector<std::string>& fields) {
  for (std::size_t i = 0; i < fields.size(); ++i) (out += i ? "," : "") += csvField(fields[i]);
  out += "\r\n";
}

// Invalid UTF-8 bytes (a file name is bytes) become U+FFFD, so the JSON text stays valid.
std::string validUtf8(std::string_view text) {
  if (text::isValidUtf8(text)) return std::string(text);
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = 1;
    while (length <= 4 && i + length <= text.size() && !text::isValidUtf8(text.substr(i, length))) ++length;
    if (length <= 4 && i + length <= text.size()) {
      out.append(text.substr(i, length));
      i += length;
    } else {
      out += "\xEF\xBF\xBD";
      ++i;
    }
  }
  return out;
}

void appendJsonString(std::string& out, std::string_view raw) {
  out += '"';
  for (char c : validUtf8(raw)) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

void appendJsonValue(std::string& out, const db::Value& v) {
  const auto& raw = v.raw();
  if (v.isNull()) {
    out += "null";
  } else if (std::holds_alternative<std::int64_t>(raw)) {
    out += v.text();
  } else {
    appendJsonString(out, v.text());  // a real number keeps its digits, as text
  }
}

// A text on one line, appended without a copy of its own: the answers run to a million rows.
void appendOneLine(std::string& out, std::string_view text) {
  const std::size_t start = out.size();
  out += text;
  for (std::size_t i = start; i < out.size(); ++i)
    if (out[i] == '\t' || out[i] == '\r' || out[i] == '\n') out[i] = ' ';
}

void appendOneLine(std::string& out, const db::Value& v) {
  if (const auto* text = std::get_if<std::string>(&v.raw())) appendOneLine(out, std::string_view(*text));
  else appendOneLine(out, std::string_view(v.text()));
}

// Any rows as a table: the columns' names, the number of rows, and cell(row, column) giving a db::Value.
template <typename Cell>
std::string tsv(std::size_t count, std::size_t columns, const Cell& cell) {
  std::string out;
  for (std::size_t r = 0; r < count; ++r) {
    for (std::size_t c = 0; c < columns; ++c) {
      if (c) out += '\t';
      appendOneLine(out, cell(r, c));
    }
    out += '\n';
  }
  return out;
}

template <typename Cell>
std::string csv(const std::vector<std::string>& columns, std::size_t count, const Cell& cell) {
  std::string out = "\xEF\xBB\xBF";
  appendCsvLine(out, columns);
  std::vector<std::string> fields(columns.size());
  for (std::size_t r = 0; r < count; ++r) {
    for (std::size_t c = 0; c < columns.size(); ++c) fields[c] = cell(r, c).text();
    appendCsvLine(out, fields);
  }
  return out;
}

template <typename Cell>
std::string json(const std::vector<std::string>& columns, std::size_t count, const Cell& cell) {
  std::string out = "[";
  for (std::size_t r = 0; r < count; ++r) {
    out += r ? ",\n{" : "\n{";
    for (std::size_t c = 0; c < columns.size(); ++c) {
      if (c) out += ',';
      appendJsonString(out, columns[c]);
      out += ':';
      appendJsonValue(out, cell(r, c));
    }
    out += '}';
  }
  return out + (count == 0 ? "]\n" : "\n]\n");
}

template <typename Cell>
std::string format(const std::vector<std::string>& columns, std::size_t count, const Cell& cell, OutputFormat format) {
  switch (format) {
    case OutputFormat::Csv: return csv(columns, count, cell);
    case OutputFormat::Json: return json(columns, count, cell);
    case OutputFormat::Tsv: break;
  }
  return tsv(count, columns.size(), cell);
}

}  // namespace

std::optional<OutputFormat> parseOutputFormat(std::string_view name) {
  if (name == "tsv") return OutputFormat::Tsv;
  if (name == "csv") return OutputFormat::Csv;
  if (name == "json") return OutputFormat::Json;
  return std::nullopt;
}

std::string oneLine(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  return out;
}

std::string formatRows(const ResultTable& table, OutputFormat format) {
  // A row shorter than the columns (none is made so) reads NULL for the rest.
  const db::Value null;
  const auto cell = [&](std::size_t r, std::size_t c) -> const db::Value& {
    return c < table.rows[r].size() ? table.rows[r][c] : null;
  };
  return tavrix::queries::format(table.columns, table.rows.size(), cell, format);
}

namespace {

// TSV straight from a compact answer's texts: a fleet's million lines without a value made per field.
template <typename RowOf>
std::string compactTsv(const ResultRows& rows, std::size_t count, const RowOf& rowOf) {
  std::string out;
  for (std::size_t r = 0; r < count; ++r) {
    for (std::size_t c = 0; c < rows.columns().size(); ++c) {
      if (c) out += '\t';
      appendOneLine(out, rows.text(rowOf(r), c));
    }
    out += '\n';
  }
  return out;
}

}  // namespace

std::string formatRows(const ResultRows& rows, OutputFormat format) {
  const auto rowOf = [](std::size_t r) { return r; };
  if (format == OutputFormat::Tsv) return compactTsv(rows, rows.size(), rowOf);
  const auto cell = [&](std::size_t r, std::size_t c) { return rows.value(r, c); };
  return tavrix::queries::format(rows.columns(), rows.size(), cell, format);
}

std::string formatRows(const ResultRows& rows, const std::vector<std::uint32_t>& picked, OutputFormat format) {
  const auto rowOf = [&](std::size_t r) { return picked[r]; };
  if (format == OutputFormat::Tsv) return compactTsv(rows, picked.size(), rowOf);
  const auto cell = [&](std::size_t r, std::size_t c) { return rows.value(picked[r], c); };
  return tavrix::queries::format(rows.columns(), picked.size(), cell, format);
}

}  // namespace tavrix::queries
