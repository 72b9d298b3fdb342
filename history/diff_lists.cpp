// The comparison of the list sections: each item matched by its natural key.
#include <functional>
#include <string>

#include "history/diff_rules.h"
#include "platform/text.h"

namespace tavrix::history::diff {
namespace {

// One detail row, read by field name.
class Fields {
 public:
  Fields(const DetailRows& rows, const std::vector<std::string>& row) : rows_(rows), row_(row) {}
  const std::string& operator[](std::string_view name) const { return row_[rows_.index(name)]; }

 private:
  const DetailRows& rows_;
  const std::vector<std::string>& row_;
};

using MakeItem = std::function<Item(const Fields&)>;

std::vector<Item> itemsOf(const Inventory& inventory, DetailKind kind, const MakeItem& make,
                          const std::function<bool(const Fields&)>& keep = nullptr) {
  const DetailRows& rows = inventory.rows(kind);
  std::vector<Item> items;
  for (const auto& row : rows.rows) {
    Fields f(rows, row);
    if (!keep || keep(f)) items.push_back(make(f));
  }
  return items;
}

void compareList(const Inventory& o, const Inventory& n, Changes& out, const std::string& section, DetailKind kind,
                 const MakeItem& make) {
  out.list(section, itemsOf(o, kind, make), itemsOf(n, kind, make));
}

// Whether a drive's free space moved by more than a tenth of the older value.
bool freeSpaceMoved(const std::string& older, const std::string& newer) {
  double before = text::leadingNumber(older).value_or(0), after = text::leadingNumber(newer).value_or(0);
  double moved = after > before ? after - before : before - after;
  return before == 0 ? after != 0 : moved > before / 10;
}

const char kSeparator = '\x1f';  // joins the parts of a key; no CSV text holds it

// The free space of the drives that both inventories have once: an item per letter whose older
// value equals the newer one unless it moved by more than a tenth.
void addFreeSpaceItems(std::vector<Item>& older, std::vector<Item>& newer, const Inventory& o, const Inventory& n) {
  auto onlyRow = [](const Inventory& inventory, const std::string& letter) -> const std::vector<std::string>* {
    const DetailRows& rows = inventory.rows(DetailKind::Drive);
    const std::vector<std::string>* found = nullptr;
    for (const auto& row : rows.rows) {
      if (Fields(rows, row)["DriveLetter"] != letter) continue;
      if (found) return nullptr;
      found = &row;
    }
    return found;
  };
  const DetailRows& oldRows = o.rows(DetailKind::Drive);
  const DetailRows& newRows = n.rows(DetailKind::Drive);
  for (const auto& row : newRows.rows) {
    Fields after(newRows, row);
    const std::vector<std::string>* previous = onlyRow(o, after["DriveLetter"]);
    if (!previous || onlyRow(n, after["DriveLetter"]) != &row) continue;
    Fields before(oldRows, *previous);
    std::string key = after["DriveLetter"] + kSeparator + "free";
    std::string label = after["DriveLetter"] + ": " + firstNonEmpty({after["FreeSpaceT"], before["FreeSpaceT"], "空き容量"});
    bool moved = freeSpaceMoved(before["FreeSpace"], after["FreeSpace"]);
    older.push_back({key, label, moved ? before["FreeSpace"] : after["FreeSpace"]});
    newer.push_back({key, label, after["FreeSpace"]});
  }
}

}  // namespace

void compareDevices(const Inventory& o, const Inventory& n, Changes& out) {
  auto caption = [](const Inventory& inventory) -> std::string {
    const DetailRows& rows = inventory.rows(DetailKind::Device);
    return rows.rows.empty() ? "" : Fields(rows, rows.rows.front())["DeviceT"];
  };
  std::string section = firstNonEmpty({caption(n), caption(o), "デバイス"});
  compareList(o, n, out, section, DetailKind::Device, [](const Fields& f) {
    std::string space = f["DeviceSpaceT"].empty() ? "" : f["DeviceSpaceT"] + ":" + f["DeviceSpace"];
    return Item{f["DeviceName"], f["DeviceName"],
                joinNonEmpty({f["DeviceType"], f["DriverName"], f["DeviceOption"], space})};
  });
}

void compareUpdates(const Inventory& o, const Inventory& n, Changes& out) {
  static const std::pair<const char*, const char*> kLists[] = {
      {"1", "Windows Update"}, {"2", "Windows HotFix"}, {"3", "Internet Explolor他"}};
  auto make = [](const Fields& f) { return Item{f["WinUpdName"], f["WinUpdName"], f["WinUpdCmnt"]}; };
  for (const auto& list : kLists) {
    const char* typeNo = list.first;
    const char* section = list.second;
    auto ofType = [typeNo](const Fields& f) { return f["TypeNo"] == typeNo; };
    out.list(section, itemsOf(o, DetailKind::Update, make, ofType), itemsOf(n, DetailKind::Update, make, ofType));
  }
}

void compareDrives(const Inventory& o, const Inventory& n, Changes& out) {
  auto make = [](const Fields& f) {
    return Item{f["DriveLetter"], f["DriveLetter"] + ":", joinNonEmpty({f["DriveType"], f["FileSystem"], f["AllSpace"]})};
  };
  std::vector<Item> older = itemsOf(o, DetailKind::Drive, make), newer = itemsOf(n, DetailKind::Drive, make);
  addFreeSpaceItems(older, newer, o, n);
  out.list("ドライブ", std::move(older), std::move(newer));
}

void compareDisplays(const Inventory& o, const Inventory& n, Changes& out) {
  compareList(o, n, out, "ディスプレイ解像度", DetailKind::Video, [](const Fields& f) {
    return Item{f["VideoNo"], f["VideoNo"],
                joinNonEmpty({f["VideoResolution"], f["VideoColor"], f["VideoRefreshRate"], f["MonitorName"],
                              f["AdapterName"]})};
  });
}

void comparePrinters(const Inventory& o, const Inventory& n, Changes& out) {
  compareList(o, n, out, "プリンタ一覧", DetailKind::Printer,
              [](const Fields& f) { return Item{f["PrinterName"], f["PrinterName"], ""}; });
}

void compareGroups(const Inventory& o, const Inventory& n, Changes& out) {
  compareList(o, n, out, "グループ（ユーザー）", DetailKind::Users,
              [](const Fields& f) { return Item{f["Group"] + kSeparator + f["Users"], f["Group"], f["Users"]}; });
}

void comparePrograms(const Inventory& o, const Inventory& n, Changes& out) {
  compareList(o, n, out, "現在インストールされているプログラム", DetailKind::Application,
              [](const Fields& f) { return Item{f["Appl"], f["Appl"], f["Version"]}; });
}

void compareStartUp(const Inventory& o, const Inventory& n, Changes& out) {
  compareList(o, n, out, "スタートアップ", DetailKind::StartUp, [](const Fields& f) {
    return Item{f["StartName"], f["StartName"], joinNonEmpty({f["StartType"], f["StartCmd"]})};
  });
}

void compareServices(const Inventory& o, const Inventory& n, Changes& out) {
  compareList(o, n, out, "現在のWindowsのサービス", DetailKind::Service, [](const Fields& f) {
    return Item{f["ServiceName"], f["ServiceName"], joinNonEmpty({f["ServiceStart"], f["ServiceSTS"]})};
  });
}

}  // namespace tavrix::history::diff
