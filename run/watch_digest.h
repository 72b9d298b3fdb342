// The watch rules after a batch: each computer it imported against its previous kept inventory, and
// the computers whose newest inventory has become too old since the previous batch.
#pragma once

#include <string>
#include <vector>

#include "batch/run_state.h"
#include "history/watch_findings.h"

namespace tavrix {

// With [Watch] rules and a batch that imported something: appends the findings to
// LOG_DIR/digest/yyyymmdd.tsv and writes one line to the run log. Runs while this batch's files are
// still in CSV_DIR (the save folder holds only earlier ones) and the database is open.
void writeWatchDigest(RunState& s);

// The digest files' lines: the batch's time, then the finding.
struct DigestLine {
  std::string batch;  // "yyyy-mm-dd hh:nn:ss"
  history::Finding finding;
};
// The findings of the digest files under logFolder dated sinceDay ("yyyymmdd") or later; with
// sinceDay empty, those of the newest batch. error is set when the folder cannot be listed.
std::vector<DigestLine> readDigest(const std::string& logFolder, const std::string& sinceDay, std::string& error);

// The newest batch whose findings went out by mail ("" when none did), kept beside the digest files
// so that a daily mail sends each batch's findings once; remembering it returns false when it
// cannot be written.
std::string lastMailedBatch(const std::string& logFolder);
bool rememberMailedBatch(const std::string& logFolder, const std::string& batch);

}  // namespace tavrix
