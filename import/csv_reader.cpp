// F06_READ_CSV: reads one inventory CSV, in the header pass or in the full pass.
#include "import/csv_reader.h"

#include <string>

#include "batch/run_log.h"
#include "import/detail_importers.h"
#include "import/import_failure.h"
#include "import/inventory_lines.h"
#include "platform/line_reader.h"

namespace tavrix {
namespace {

// The import's receiver of a file's lines: each detail line to its importer, each failed step to
// the run log, and no line after a failed database step.
class ImportLineSink : public InventoryLineSink {
 public:
  explicit ImportLineSink(RunState& s) : s_(s), sets_(s.DbConnection) {}

  void detail(DetailKind kind, const CsvLine& line) override {
    switch (kind) {
      case DetailKind::Device: F_IMP_DEVICE(s_, sets_, line); break;
      case DetailKind::Drive: F_IMP_DRIVE(s_, sets_, line); break;
      case DetailKind::Video: F_IMP_VIDEO(s_, sets_, line); break;
      case DetailKind::Printer: F_IMP_PRINTER(s_, sets_, line); break;
      case DetailKind::Application: F_IMP_APPLINST(s_, sets_, line); break;
      case DetailKind::Users: F_IMP_USERS(s_, sets_, line); break;
      case DetailKind::Service: F_IMP_SERVICE(s_, sets_, line); break;
      case DetailKind::RegistryCheck: F_IMP_WINUPDREGCHECK(s_, sets_, line); break;
      case DetailKind::StartUp: F_IMP_STARTUP(s_, sets_, line); break;
      case DetailKind::Update: F_IMP_WINUPDATE(s_, sets_, line); break;
    }
  }
  void lineFailed(long number, const std::string& what) override {
    F_WRITE_LOG(s_, "F06_READ_CSV: " + s_.CurrentCsvName + " line " + std::to_string(number) + ": " + what);
  }
  bool stopped() const override { return fileFailed(s_); }

 private:
  RunState& s_;
  DetailRecordSets sets_;
};

InventoryTarget targetOf(RunState& s) {
  return {s.BasicInfo, s.NicAdapterCount, s.NicAdapters, s.CurrentHeaderFound, s.CurrentCsvUtf8, s.CurrentCreateDate};
}

// A pass that read the file to its end: its adapters go to T_NIC.
bool endPass(RunState& s) {
  if (s.NicAdapterCount > 0 && !fileFailed(s)) F_IMP_NIC(s);
  return false;
}

void passFailed(RunState& s, const std::string& why) {
  F_WRITE_LOG(s, "F06_READ_CSV: " + s.CurrentCsvName + ": " + why);
  if (s.FileFailure.empty()) s.FileFailure = why;
}

// Both passes must read one and the same file: one put in its place between them is not imported.
bool sameFileAsBefore(RunState& s, const paths::FileIdentity& read) {
  if (s.CurrentCsvEntry >= s.CsvReadAs.size()) return true;  // a file read outside the batch's loop
  paths::FileIdentity& before = s.CsvReadAs[s.CurrentCsvEntry];
  if (!before.known()) before = read;
  if (before == read) return true;
  passFailed(s, "the file was replaced while it was read");
  return false;
}

// One pass of reader over the current file.
bool readPass(RunState& s, std::string_view mode, paths::LineReader& reader) {
  s.NicAdapterCount = 0;
  if (!reader.isOpen()) {
    passFailed(s, reader.errorText());
    return true;
  }
  if (!sameFileAsBefore(s, reader.identity())) return true;
  ImportLineSink sink(s);
  if (mode == "first") readInventoryHeader(reader, targetOf(s), sink);
  else readInventoryLines(reader, targetOf(s), sink);
  if (reader.failed()) {
    passFailed(s, reader.errorText());
    return true;
  }
  return endPass(s);
}

}  // namespace

bool F06_READ_CSV(RunState& s, std::string_view mode) {
  paths::LineReader reader(s.CSV_DIR + s.CurrentCsvFile, paths::LineReader::kDefaultLimit, paths::Links::WithinFolder);
  return readPass(s, mode, reader);
}

bool F06_READ_CSV(RunState& s, std::string_view mode, const paths::FileBytes& ahead, const DecodedLines* decoded) {
  if (!ahead.held()) return F06_READ_CSV(s, mode);
  if (mode != "first" && decoded && decoded->decoded && decoded->utf8 == s.CurrentCsvUtf8) {
    s.NicAdapterCount = 0;
    if (!sameFileAsBefore(s, ahead.identity)) return true;
    ImportLineSink sink(s);
    readInventoryLines(*decoded, targetOf(s), sink);
    return endPass(s);
  }
  paths::LineReader reader(ahead);
  return readPass(s, mode, reader);
}

}  // namespace tavrix
