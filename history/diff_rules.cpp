// The comparison's building blocks: value changes, list changes by key, and the section order.
#include "history/diff_rules.h"

#include <algorithm>

#include "platform/text.h"

namespace tavrix::history {
namespace diff {
namespace {

bool itemLess(const Item& a, const Item& b) {
  if (a.key != b.key) return keyLess(a.key, b.key);
  return a.value < b.value;
}

// The items of one key from both sides, equal values removed from both.
void addKeyChanges(Changes& out, const std::string& section, std::vector<const Item*> older,
                   std::vector<const Item*> newer) {
  std::vector<const Item*> gone, came;
  std::size_t i = 0, j = 0;
  while (i < older.size() || j < newer.size()) {  // both sorted by value
    if (j == newer.size() || (i < older.size() && older[i]->value < newer[j]->value)) gone.push_back(older[i++]);
    else if (i == older.size() || newer[j]->value < older[i]->value) came.push_back(newer[j++]);
    else ++i, ++j;
  }
  std::size_t pairs = std::min(gone.size(), came.size());
  for (std::size_t k = 0; k < pairs; ++k) out.add({section, '~', came[k]->label, gone[k]->value, came[k]->value});
  for (std::size_t k = pairs; k < gone.size(); ++k) out.add({section, '-', gone[k]->label, gone[k]->value, ""});
  for (std::size_t k = pairs; k < came.size(); ++k) out.add({section, '+', came[k]->label, "", came[k]->value});
}

}  // namespace

bool keyLess(std::string_view a, std::string_view b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    auto x = static_cast<unsigned char>(text::lowerAscii(a[i])), y = static_cast<unsigned char>(text::lowerAscii(b[i]));
    if (x != y) return x < y;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

void Changes::value(const std::string& section, const std::string& item, const std::string& older,
                    const std::string& newer) {
  if (older != newer) rows_.push_back({section, '~', item, older, newer});
}

void Changes::list(const std::string& section, std::vector<Item> older, std::vector<Item> newer) {
  std::sort(older.begin(), older.end(), itemLess);
  std::sort(newer.begin(), newer.end(), itemLess);
  std::size_t i = 0, j = 0;
  while (i < older.size() || j < newer.size()) {
    const std::string& key = j == newer.size() || (i < older.size() && keyLess(older[i].key, newer[j].key))
                                 ? older[i].key
                                 : newer[j].key;
    std::vector<const Item*> o, n;
    for (; i < older.size() && older[i].key == key; ++i) o.push_back(&older[i]);
    for (; j < newer.size() && newer[j].key == key; ++j) n.push_back(&newer[j]);
    addKeyChanges(*this, section, std::move(o), std::move(n));
  }
}

std::string joinNonEmpty(std::initializer_list<std::string_view> texts) {
  std::string joined;
  for (std::string_view t : texts) {
    if (t.empty()) continue;
    if (!joined.empty()) joined += ' ';
    joined += t;
  }
  return joined;
}

std::string firstNonEmpty(std::initializer_list<std::string_view> texts) {
  std::string_view last;
  for (std::string_view t : texts) {
    if (!t.empty()) return std::string(t);
    last = t;
  }
  return std::string(last);
}

}  // namespace diff

std::vector<Change> compareInventories(const Inventory& older, const Inventory& newer) {
  using namespace diff;
  Changes out;
  for (auto step : {compareBasicLines, compareDevices, compareAntiVirus, compareDirectories, compareUpdates,
                    compareDrives, compareDisplays, comparePrinters, compareNetwork, compareAdapters, compareGroups,
                    comparePrograms, compareStartUp, compareServices})
    step(older, newer, out);
  return out.take();
}

}  // namespace tavrix::history
