// The texts holding the part (from the trigram index, or for a part shorter than a trigram from
// the distinct texts themselves), each checked by the search's own rule, then their snapshots.
#include "searchindex/search_index_reader.h"

#include <algorithm>
#include <functional>
#include <set>
#include <string>

#include "queries/statement_rows.h"
#include "queries/text_match.h"
#include "searchindex/search_index_tables.h"
#include "searchindex/snapshot_numbers.h"
#include "searchindex/snapshot_set.h"

namespace tavrix::searchindex {

namespace {

// Characters of valid UTF-8 text; none for text that is not (the trigram index reads characters).
std::optional<std::size_t> utf8Characters(std::string_view text) {
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > text.size()) return std::nullopt;
    for (std::size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return std::nullopt;
    i += length;
    ++characters;
  }
  return characters;
}

std::string phraseOf(std::string_view part) {
  std::string phrase = "\"";
  for (char c : part) phrase += c == '"' ? std::string("\"\"") : std::string(1, c);
  return phrase + "\"";
}

// Calls back with the tables and snapshots of each chunk's text that holds part, until each
// returns false.
void forEachMatchingText(db::Connection& connection, std::string_view part,
                         const std::function<bool(std::uint64_t tables, std::string_view snapshots)>& each) {
  const std::optional<std::size_t> characters = utf8Characters(part);
  // A server's LIKE finds its texts through their trigrams itself.
  const bool trigrams = characters && *characters >= 3 && !connection.location().isServer();
  const std::string sql =
      trigrams ? "SELECT t.Value, t.Tables, t.Snapshots FROM TavrixSearchTrigrams f JOIN TavrixSearchText t ON t.Id = f.rowid "
                 "WHERE TavrixSearchTrigrams MATCH ?1"
               : "SELECT Value, Tables, Snapshots FROM TavrixSearchText WHERE " + queries::containsSql("Value", 1);
  db::Statement statement(connection, sql);
  statement.bind(1, db::Value(trigrams ? phraseOf(part) : queries::containsPattern(part)));
  while (statement.next()) {
    const db::RowView& row = statement.row();
    if (queries::containsNoCase(row.text(0), part) && !each(static_cast<std::uint64_t>(row.integer(1)), row.bytes(2))) break;
  }
}

bool hasBit(std::uint64_t tables, std::size_t index) { return (tables >> std::min<std::size_t>(index, 63)) & 1; }

// Reading the candidates' rows costs about twice a row of the whole scan: a look-up per
// computer and table, where the scan reads in order and in parts at once. Tables are weighed by
// their rows (the last row number, which the file finds at once; a server's own estimate).
std::int64_t rowsOf(db::Connection& connection, const std::string& table) {
  if (connection.location().isServer())
    return queries::readNumber(connection, "SELECT greatest(reltuples, 0)::bigint FROM pg_class WHERE oid = to_regclass(?1)",
                               {db::Value(db::quoteIdentifier(table))});
  return queries::readNumber(connection, "SELECT coalesce(max(rowid), 0) FROM " + db::quoteIdentifier(table));
}

class ReadingCost {
 public:
  ReadingCost(db::Connection& connection, const std::vector<SearchedTable>& tables)
      : snapshots_(static_cast<double>(queries::readNumber(connection, "SELECT count(*) FROM T_BasicInf"))) {
    for (const SearchedTable& table : tables) {
      rows_.push_back(static_cast<double>(rowsOf(connection, table.name)));
      all_ += rows_.back();
    }
  }
  // More candidates or tables only make it less worth: a search may stop gathering once it is not.
  bool worthReading(std::size_t candidates, const std::vector<bool>& tables) const {
    constexpr double kCandidateRowCost = 2.0;
    const double share = snapshots_ > 0 ? std::min(1.0, static_cast<double>(candidates) / snapshots_) : 1.0;
    double read = 0;
    for (std::size_t t = 0; t < rows_.size(); ++t)
      if (tables[t]) read += rows_[t];
    return kCandidateRowCost * read * share <= all_;
  }

 private:
  double snapshots_, all_ = 0;
  std::vector<double> rows_;
};

}  // namespace

std::optional<SearchCandidates> searchCandidates(db::Connection& connection, const std::vector<SearchedTable>& tables,
                                                 std::string_view part) {
  if (!queries::fitsContainsPattern(part)) return std::nullopt;
  db::FewPagesCached readOnce(connection);  // a broad text's lists run to hundreds of megabytes, each read once
  const std::optional<IndexCoverage> coverage = usableIndex(connection, tables);
  if (!coverage) return std::nullopt;

  const ReadingCost cost(connection, tables);
  SearchCandidates candidates{{}, std::vector<bool>(tables.size(), false)};
  SnapshotSet indexed;
  bool whole = true, worth = true;
  forEachMatchingText(connection, part, [&](std::uint64_t inTables, std::string_view snapshots) {
    for (std::size_t t = 0; t < tables.size(); ++t)
      if (hasBit(inTables, t)) candidates.tables[t] = true;
    const auto rnos = decodeSnapshots(snapshots);
    if (rnos)
      for (const std::int64_t rno : *rnos) indexed.add(rno);
    whole = whole && rnos;
    // A broad text's many lists are not read to the end once the tables would be read whole anyway.
    worth = cost.worthReading(indexed.size(), candidates.tables);
    return whole && worth;
  });
  if (!whole || !worth) return std::nullopt;
  indexed.forEach([&](std::int64_t rno) { candidates.rnos.emplace_back(rno); });

  // Rows the index does not cover (this batch's, an import's that keeps no index, another
  // program's) are read whatever they hold.
  std::set<std::pair<int, std::string>> unread;  // by kind and text, so NULL and text RNOs are kept apart
  // (A server keeps no seen rows: its rows without a number, or below 1, are read as the file's above
  // the seen row.)
  for (std::size_t t = 0; t < tables.size(); ++t) {
    const std::string name = db::quoteIdentifier(tables[t].name);  // two searches: an OR would read the whole index
    const bool server = connection.location().isServer();
    const std::string sql = "SELECT DISTINCT RNO FROM " + name + " WHERE RNO > ?1 UNION SELECT DISTINCT RNO FROM " + name +
                            (server ? " WHERE RNO IS NULL OR RNO < 1" : " WHERE rowid > ?2");
    std::vector<db::Value> bounds = {db::Value(coverage->mark)};
    if (!server) bounds.emplace_back(coverage->seen[t]);
    queries::forEachRow(connection, sql, bounds, [&](const queries::ResultRow& row) {
      candidates.tables[t] = true;
      if (unread.emplace(static_cast<int>(row[0].raw().index()), row[0].text()).second) candidates.rnos.push_back(row[0]);
    });
  }
  if (!cost.worthReading(candidates.rnos.size(), candidates.tables)) return std::nullopt;
  return candidates;
}

}  // namespace tavrix::searchindex
