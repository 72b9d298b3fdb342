// Writing a result table as TSV, CSV or JSON: the one place every command and window formats rows.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "queries/result_rows.h"
#include "queries/result_table.h"

namespace tavrix::queries {

enum class OutputFormat {
  Tsv,   // one row per line, TAB between fields, no header; TAB, CR and LF in a value become a blank
  Csv,   // RFC 4180: UTF-8 with a byte-order mark, CR LF, a header line, quotes where needed
  Json,  // one array of objects keyed by the column names; NULL is null, integers are numbers
};

// "tsv", "csv" or "json"; nullopt for anything else.
std::optional<OutputFormat> parseOutputFormat(std::string_view name);

std::string formatRows(const ResultTable& table, OutputFormat format);
// Every row of a compact answer, and the rows picked from one, in that order.
std::string formatRows(const ResultRows& rows, OutputFormat format);
std::string formatRows(const ResultRows& rows, const std::vector<std::uint32_t>& picked, OutputFormat format);

// A value's text with TAB, CR and LF each turned into one blank, so that it stays on one line.
std::string oneLine(std::string_view text);

}  // namespace tavrix::queries
