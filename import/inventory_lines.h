// The lines of one inventory CSV read into basic values and detail lines: the rules that the import
// and the history of kept inventories share.
#pragma once

#include <string>
#include <vector>

#include "batch/run_state.h"
#include "import/csv_line.h"
#include "platform/line_reader.h"

namespace tavrix {

// The lines that each become one row of a detail table.
enum class DetailKind { Device, Drive, Video, Printer, Application, Users, Service, RegistryCheck, StartUp, Update };
inline constexpr int kDetailKindCount = 10;

// Where a pass puts what it reads: the import's run state, or a history's own inventory.
struct InventoryTarget {
  BasicInfoRecord& basic;
  int& nicAdapterCount;                  // adapter numbers seen so far: 1..count
  std::vector<NicAdapter>& nicAdapters;  // adapter n is index n-1
  bool& headerFound;                     // the header pass met a header line (0,1)
  bool& utf8;                            // the file starts with a UTF-8 byte-order mark and is UTF-8
  DateTime& createDate;                  // the header's date; kept when it is no real date
};

// Receives what a pass cannot keep in the target: detail lines and failed steps.
class InventoryLineSink {
 public:
  virtual ~InventoryLineSink() = default;
  // A line of kind that passed the reader's own tests (a video line numbered above 0, a service
  // line that is no heading).
  virtual void detail(DetailKind kind, const CsvLine& line) = 0;
  // A step of line number failed ("field 6 is missing"); its target kept its value.
  virtual void lineFailed(long number, const std::string& what) = 0;
  // True when the pass must stop before its next line.
  virtual bool stopped() const { return false; }
};

// The header pass: headerFound, QuilloVer and createDate from the header line, and utf8 for a file
// that starts with a UTF-8 byte-order mark. With wholeFile the file is read to its end when it has
// the mark, to tell whether it is UTF-8 throughout; else it stops at the header line.
void readInventoryHeader(paths::LineReader& reader, InventoryTarget target, InventoryLineSink& sink,
                         bool wholeFile = true);

// A file's lines split and decoded ahead of the full pass (on the thread that reads the files): the
// lines, numbers and too-long marks that a LineReader gives over the bytes, decoded as the full pass
// decodes them.
struct DecodedLines {
  struct Line {
    std::size_t end;  // the line's text ends here in text
    bool tooLong;     // longer than LineReader::kDefaultLimit: no text
  };
  bool decoded = false;  // false: the full pass reads the file itself
  bool utf8 = false;     // decoded as UTF-8 (the header pass's rule), else as CP932
  std::string text;      // the lines' texts, one after another
  std::vector<Line> lines;
};
// The lines of a file read whole and without error; nothing decoded for any other.
DecodedLines decodeInventoryLines(const paths::FileBytes& file);

// The full pass: every line to its step, basic and adapter values into target, detail lines to
// sink, until the end or sink.stopped(). Lines are decoded as UTF-8 when target.utf8, else CP932.
void readInventoryLines(paths::LineReader& reader, InventoryTarget target, InventoryLineSink& sink);
// The same over lines decoded ahead, which must be decoded as target.utf8 says.
void readInventoryLines(const DecodedLines& lines, InventoryTarget target, InventoryLineSink& sink);

}  // namespace tavrix
