// Findings are gathered per computer: its newest inventory of this batch (two files of one computer
// in a batch: the later header wins, so an item gone and back between them is no change) against the
// newest kept before it.
#include "run/watch_digest.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <set>

#include "batch/batch_record.h"
#include "batch/run_log.h"
#include "history/kept_files.h"
#include "history/kept_inventory.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "queries/fleet_queries.h"
#include "queries/statement_rows.h"

namespace tavrix {
namespace {

constexpr const char* kDigestFolder = "digest/";

// A value on one line of its own field: tabs and line ends become blanks.
std::string field(std::string value) {
  std::replace_if(value.begin(), value.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
  return value;
}

// This batch's newest file of each computer it imported, by PCid upper-cased in ASCII (as the kept
// inventories are found): the later header of two (read for those only).
std::map<std::string, std::pair<std::string, std::string>> importedComputers(RunState& s) {
  std::map<std::string, std::pair<std::string, std::string>> newest;  // key -> PCid, file name
  std::map<std::string, DateTime> dated;                              // the header read so far of a computer met twice
  const auto headerOf = [&](const std::string& name) {
    std::string error;
    const std::optional<history::Inventory> inventory = history::readInventory(s.CSV_DIR + name, error);
    return inventory ? inventory->createDate : DateTime::zero();
  };
  for (std::size_t i = 0; i < s.CsvOutcomes.size() && i < s.CsvFileList.size(); ++i) {
    if (s.CsvOutcomes[i] != CsvOutcome::Imported) continue;
    const std::string& name = s.CsvFileList[i];
    const std::string pcId = text::decodeUtf8OrCp932(name.substr(0, name.find('.')));
    const std::string key = text::toUpperAscii(pcId);
    auto [at, added] = newest.try_emplace(key, pcId, name);
    if (added) continue;
    if (!dated.contains(key)) dated[key] = headerOf(at->second.second);
    if (const DateTime created = headerOf(name); !(created < dated[key])) {
      dated[key] = created;
      at->second = {pcId, name};
    }
  }
  return newest;
}

// The findings as the digest file's lines, written in parts as they come: a batch of a whole fleet
// of changed computers finds millions.
class DigestWriter {
 public:
  DigestWriter(std::string folder, const DateTime& now)
      : folder_(std::move(folder)), path_(folder_ + now.compactDay() + ".tsv"), batch_(now.storageText()) {}
  void add(const std::vector<history::Finding>& found) {
    for (const history::Finding& f : found) {
      pending_ += batch_ + "\t" + field(f.pcId) + "\t" + f.rule + "\t" + field(f.item) + "\t" + field(f.oldValue) + "\t" +
                  field(f.newValue) + "\n";
      ++count_;
    }
    if (pending_.size() >= (1 << 20)) flush();
  }
  // False when a line could not be written.
  bool flush() {
    if (pending_.empty()) return ok_;
    if (!out_.is_open() && ok_) {
      std::string error;
      if (paths::directoryExists(folder_) || paths::makeFolder(folder_, &error)) out_.open(path_, std::ios::app | std::ios::binary);
    }
    ok_ = ok_ && out_ && (out_ << pending_) && out_.flush();
    pending_.clear();
    return ok_;
  }
  std::size_t count() const { return count_; }
  const std::string& path() const { return path_; }

 private:
  std::string folder_, path_, batch_, pending_;
  std::ofstream out_;
  std::size_t count_ = 0;
  bool ok_ = true;
};

// Computers whose newest inventory became older than the days since the previous batch that
// imported something (every such computer when there was none).
std::vector<history::Finding> notSeen(RunState& s, int days) {
  const std::string before = queries::daysBefore(s.TheClock.now(), days);
  std::string since;
  if (const std::optional<BatchRecord> last = lastBatch(s.DbConnection))
    if (const std::optional<DateTime> finished = DateTime::parse(last->finished)) since = queries::daysBefore(*finished, days);
  std::vector<history::Finding> found;
  queries::forEachRow(s.DbConnection,
                      "SELECT PCid, CreateDate FROM T_BasicInf WHERE CreateDate < ?1 AND (CreateDate >= ?2 OR ?2 IS NULL)"
                      " ORDER BY PCid, RNO",
                      {db::Value(before), since.empty() ? db::Value() : db::Value(since)}, [&](const queries::ResultRow& row) {
                        const std::optional<DateTime> created = DateTime::parse(row[1].text());
                        found.push_back({row[0].text(), "NOT_SEEN_DAYS", std::to_string(days),
                                         created ? created->minuteText() : row[1].text(), ""});
                      });
  return found;
}

}  // namespace

void writeWatchDigest(RunState& s) {
  if (!s.Watch.any() || std::none_of(s.CsvOutcomes.begin(), s.CsvOutcomes.end(), [](CsvOutcome o) { return o == CsvOutcome::Imported; }))
    return;
  DigestWriter digest(s.LOG_DIR + kDigestFolder, s.TheClock.now());
  try {
    const auto imported = importedComputers(s);
    std::set<std::string> pcIds;
    for (const auto& [key, computer] : imported) pcIds.insert(computer.first);
    std::vector<std::string> problems;
    std::string error;
    const auto kept = history::findKeptInventoriesOf(s.CSV_SAVE_DIR, pcIds, problems, error);
    // One computer's two inventories in memory at a time.
    for (const auto& [key, computer] : imported) {
      const auto earlier = kept.find(key);
      if (earlier == kept.end()) continue;  // its first inventory: nothing to compare with
      const auto previous = history::readInventory(earlier->second.back().location, error);
      const auto now = previous ? history::readInventory(s.CSV_DIR + computer.second, error) : std::nullopt;
      if (previous && now) digest.add(history::watchFindings(s.Watch, computer.first, *previous, *now));
    }
    if (s.Watch.notSeenDays && s.DbConnection.isOpen()) digest.add(notSeen(s, *s.Watch.notSeenDays));
  } catch (const std::exception& e) {
    digest.flush();
    F_WRITE_LOG(s, "監視: 変化を調べられませんでした（" + std::string(e.what()) + "）。");
    return;
  }
  if (digest.count() == 0) return F_WRITE_LOG(s, "監視: 変化はありません。");
  if (!digest.flush()) return F_WRITE_LOG(s, "監視: " + digest.path() + " に書けませんでした。" + std::to_string(digest.count()) + " 件の変化は失われました。");
  F_WRITE_LOG(s, "監視: " + std::to_string(digest.count()) + " 件の変化を " + digest.path() + " に書きました。");
}

std::string lastMailedBatch(const std::string& logFolder) {
  const std::optional<std::string> text = paths::readFile(logFolder + kDigestFolder + "mailed");
  std::string batch = text ? *text : std::string();
  while (!batch.empty() && (batch.back() == '\n' || batch.back() == '\r')) batch.pop_back();
  return batch;
}

bool rememberMailedBatch(const std::string& logFolder, const std::string& batch) {
  return paths::writeFile(logFolder + kDigestFolder + "mailed", batch + "\n");
}

std::vector<DigestLine> readDigest(const std::string& logFolder, const std::string& sinceDay, std::string& error) {
  std::vector<DigestLine> lines;
  const std::string folder = logFolder + kDigestFolder;
  if (!paths::directoryExists(folder)) return lines;
  const std::optional<std::vector<std::string>> names = paths::listFiles(folder, "*.tsv");
  if (!names) {
    error = folder + " を読めません。";
    return lines;
  }
  std::vector<std::string> days = *names;
  std::sort(days.begin(), days.end());
  for (const std::string& name : days) {
    if (!sinceDay.empty() && name.substr(0, name.size() - 4) < sinceDay) continue;
    if (sinceDay.empty() && name != days.back()) continue;
    const std::optional<std::string> text = paths::readFile(folder + name);
    if (!text) continue;
    for (std::size_t start = 0; start < text->size();) {
      const std::size_t end = std::min(text->find('\n', start), text->size());
      std::vector<std::string> parts;
      for (std::size_t p = start; p <= end;) {
        const std::size_t tab = std::min(text->find('\t', p), end);
        parts.emplace_back(text->substr(p, tab - p));
        p = tab + 1;
      }
      if (parts.size() == 6) lines.push_back({parts[0], {parts[1], parts[2], parts[3], parts[4], parts[5]}});
      start = end + 1;
    }
  }
  if (sinceDay.empty() && !lines.empty()) {
    const std::string newest = lines.back().batch;
    std::erase_if(lines, [&](const DigestLine& line) { return line.batch != newest; });
  }
  return lines;
}

}  // namespace tavrix
