// One kept inventory CSV read into memory: its basic values, adapters and detail rows.
#include "history/kept_inventory.h"

#include <algorithm>
#include <cassert>

#include "import/detail_importers.h"
#include "platform/line_reader.h"

namespace tavrix::history {
namespace {

// Keeps every detail line as its row's values, and every failed step as a problem.
class MemorySink : public InventoryLineSink {
 public:
  explicit MemorySink(Inventory& inventory) : inventory_(inventory) {}
  void detail(DetailKind kind, const CsvLine& line) override {
    inventory_.details[static_cast<std::size_t>(kind)].rows.push_back(detailRowValues(kind, line));
  }
  void lineFailed(long number, const std::string& what) override {
    inventory_.problems.push_back("line " + std::to_string(number) + ": " + what);
  }

 private:
  Inventory& inventory_;
};

}  // namespace

std::size_t DetailRows::index(std::string_view name) const {
  auto it = std::find(names.begin(), names.end(), name);
  assert(it != names.end());
  return static_cast<std::size_t>(it - names.begin());
}

std::optional<Inventory> readInventory(const std::string& path, std::string& error) {
  Inventory inventory;
  for (int k = 0; k < kDetailKindCount; ++k) inventory.details[k].names = detailFieldNames(static_cast<DetailKind>(k));
  int adapterCount = 0;
  bool headerFound = false, utf8 = false;
  InventoryTarget target{inventory.basic, adapterCount, inventory.adapters, headerFound, utf8, inventory.createDate};
  MemorySink sink(inventory);
  {
    paths::LineReader reader(path);
    if (reader.isOpen()) readInventoryHeader(reader, target, sink);
    if (!reader.isOpen() || reader.failed()) {
      error = reader.errorText();
      return std::nullopt;
    }
  }
  if (!headerFound) {
    error = "no header line (0,1)";
    return std::nullopt;
  }
  paths::LineReader reader(path);
  if (reader.isOpen()) readInventoryLines(reader, target, sink);
  if (!reader.isOpen() || reader.failed()) {
    error = reader.errorText();
    return std::nullopt;
  }
  inventory.adapters.resize(static_cast<std::size_t>(adapterCount));
  return inventory;
}

}  // namespace tavrix::history
