// F_IMP_*: the detail rows of one snapshot, one row per CSV line, and F_IMP_NIC for the adapters.
#include "import/detail_importers.h"

#include <array>
#include <cassert>
#include <exception>
#include <span>
#include <string>
#include <vector>

#include "batch/messages.h"
#include "import/import_failure.h"
#include "platform/db.h"
#include "platform/text.h"

namespace tavrix {
namespace {

// A detail table whose row is the keys followed by line fields taken in order.
struct DetailTable {
  DetailTable(DetailKind kind, const char* table, std::vector<std::string> names, std::vector<int> fields)
      : kind(kind), table(table), select(std::string("Select * from ") + table), names(std::move(names)), fields(std::move(fields)) {}
  DetailKind kind;
  std::string table;
  std::string select;              // the record set's text, made once
  std::vector<std::string> names;  // RNO, PCid, CreateDate, then the table's own fields
  std::vector<int> fields;         // line field of each own field; -1 is made from other fields
};

const DetailTable kDevice{DetailKind::Device, "T_Device",
                          {"RNO", "PCid", "CreateDate", "DeviceT", "DeviceName", "DeviceType", "DriverName",
                           "DeviceOption", "DeviceSpaceT", "DeviceSpace", "deviceNo"},
                          {2, 3, 4, 5, 6, 7, 8, 9}};
const DetailTable kDrive{DetailKind::Drive, "T_Drive",
                         {"RNO", "PCid", "CreateDate", "DriveT", "DriveLetter", "DriveType", "FileSystem",
                          "AllSpaceT", "AllSpace", "FreeSpaceT", "FreeSpace"},
                         {2, 3, 4, 5, 6, 7, 8, 9}};
const DetailTable kVideo{DetailKind::Video, "T_Video",
                         {"RNO", "PCid", "CreateDate", "VideoT", "VideoNo", "VideoResolution", "VideoColor",
                          "VideoRefreshRate", "MonitorT", "MonitorName", "AdapterT", "AdapterName"},
                         {2, 3, 4, 5, 6, 7, 8, 9, 10}};
const DetailTable kPrinter{DetailKind::Printer, "T_Printer", {"RNO", "PCid", "CreateDate", "PrinterT", "PrinterName"}, {2, 3}};
const DetailTable kApplInst{DetailKind::Application, "T_ApplInst", {"RNO", "PCid", "CreateDate", "ApplT", "Appl", "Version"}, {2, 3, 4}};
const DetailTable kUsers{DetailKind::Users, "T_Users", {"RNO", "PCid", "CreateDate", "UserT", "Group", "Users", "User"}, {2, 3, 4, -1}};
const DetailTable kService{DetailKind::Service, "T_Service",
                           {"RNO", "PCid", "CreateDate", "ServiceT", "ServiceStart", "ServiceSTS", "ServiceName",
                            "ServiceExplanation"},
                           {2, 3, 4, 5, 6}};
const DetailTable kRegCheck{DetailKind::RegistryCheck, "T_WinUpdRegCheck",
                            {"RNO", "PCid", "CreateDate", "RegChkT", "RegChkFunc1", "RegChkFunc2", "RegChkMSG",
                             "RegChkVer", "RegChkReg", "RegChkFile"},
                            {2, 3, 4, 5, 6, -1, -1}};
const DetailTable kStartUp{DetailKind::StartUp, "T_StartUp", {"RNO", "PCid", "CreateDate", "StartT", "StartType", "StartName", "StartCmd"},
                           {2, 3, 4, 5}};
const DetailTable kWinUpdate{DetailKind::Update, "T_WinUpdate", {"RNO", "PCid", "CreateDate", "TypeNo", "WinUpdT", "WinUpdName", "WinUpdCmnt"},
                             {1, 2, 3, 4}};

const std::vector<std::string> kNicNames{
    "RNO",         "PCid",           "CreateDate",    "NICno",          "NameT",      "Name",
    "AdapterNameT", "AdapterName",   "MACAddressT",   "MACAddress",     "IPAddressT", "IPAddress",
    "IPMaskT",     "IPMask",         "GateWayT",      "GateWay",        "DHCPServerT", "DHCPServer",
    "DHCPT",       "DHCP",           "PriWinsServerT", "PriWinsServer", "SecWinsServerT", "SecWinsServer"};

// CreateDate as text: made once per snapshot, not once per row.
const std::string& createDateText(const RunState& s) {
  thread_local DateTime date = DateTime::zero();
  thread_local std::string text = date.storageText();
  if (s.CurrentCreateDate != date) {
    date = s.CurrentCreateDate;
    text = date.storageText();
  }
  return text;
}

const DetailTable& tableOf(DetailKind kind) {
  static const DetailTable* const tables[kDetailKindCount] = {&kDevice, &kDrive,  &kVideo,    &kPrinter, &kApplInst,
                                                              &kUsers,  &kService, &kRegCheck, &kStartUp, &kWinUpdate};
  return *tables[static_cast<int>(kind)];
}

// The table's own fields of a line's row: the line's fields ("" where the line is short: a short
// line reads as if extended with empty fields) and what is made of them. The texts are
// views into the line, or into parts; not copies.
struct OwnValues {
  std::array<std::string_view, 9> values;
  RegistryCheckParts parts;
};

void fillOwnValues(const DetailTable& t, const CsvLine& line, OwnValues& own) {
  assert(t.fields.size() <= own.values.size());
  for (std::size_t i = 0; i < t.fields.size(); ++i)
    own.values[i] = t.fields[i] < 0 ? std::string_view() : line.get(static_cast<std::size_t>(t.fields[i]));
  switch (t.kind) {
    case DetailKind::Device:
      if (line.get(9).empty()) own.values[7] = "0";
      break;
    case DetailKind::Users: {
      std::string_view users = line.get(4);
      std::size_t slash = users.rfind('\\');
      own.values[3] = slash == std::string_view::npos ? users : users.substr(slash + 1);
      break;
    }
    case DetailKind::RegistryCheck:
      own.parts = cutRegistryCheck(line.get(6));
      own.values[5] = own.parts.reg;
      own.values[6] = own.parts.file;
      break;
    default: break;
  }
}

// A detail row's values: the snapshot's keys, then the table's own fields. The texts are the run
// state's and the line's, not copies.
class Row {
 public:
  Row(const RunState& s, const DetailTable& t, const CsvLine& line) : size_(t.names.size()) {
    assert(size_ <= values_.size() && size_ == 3 + t.fields.size());
    values_[0] = static_cast<std::int64_t>(s.CurrentRno);
    values_[1] = std::string_view(s.CurrentPcId);
    values_[2] = std::string_view(createDateText(s));
    fillOwnValues(t, line, own_);
    for (std::size_t i = 0; i < t.fields.size(); ++i) values_[3 + i] = own_.values[i];
  }
  Row(const Row&) = delete;  // the values may point into own_
  std::span<const db::FieldRef> values() const { return {values_.data(), size_}; }

 private:
  OwnValues own_;
  std::array<db::FieldRef, 12> values_;
  std::size_t size_;
};

// A row's field as the text SQLite stores in a text column (a number as its digits).
std::optional<std::string_view> textOf(const db::FieldRef& field, std::string& digits) {
  if (auto* text = std::get_if<std::string_view>(&field)) return *text;
  if (auto* number = std::get_if<std::int64_t>(&field)) return digits = std::to_string(*number);
  return std::nullopt;
}

// A program or update row added tells the fleet counts what the computer has now.
void tallyAdded(RunState& s, const DetailTable& t, const Row& row) {
  if (!s.Tally || (t.kind != DetailKind::Application && t.kind != DetailKind::Update)) return;
  const auto values = row.values();
  std::string digits[2];
  if (t.kind == DetailKind::Application) {
    const std::optional<std::string_view> texts[] = {textOf(values[4], digits[0]), textOf(values[5], digits[1])};
    s.Tally->added(TallyKind::Software, texts, s.CurrentRno);
  } else {
    const std::optional<std::string_view> texts[] = {textOf(values[5], digits[0])};
    s.Tally->added(TallyKind::Updates, texts, s.CurrentRno);
  }
}

void addRow(RunState& s, DetailRecordSets& sets, const DetailTable& t, const Row& row) {
  try {
    db::UpdatableRecordSet& rs = sets.open(t.select);
    rs.addNew(t.names, row.values());
    rs.update();
    tallyAdded(s, t, row);
    if (s.SearchFeed) s.SearchFeed->rowAdded(t.table, t.names, row.values(), s.CurrentRno);
  } catch (const std::exception& e) {
    noteImportFailure(s, e);
  }
}

void importPlain(RunState& s, DetailRecordSets& sets, const DetailTable& t, const CsvLine& line) {
  addRow(s, sets, t, Row(s, t, line));
}

}  // namespace

db::UpdatableRecordSet& DetailRecordSets::open(const std::string& select) {
  for (auto& [text, set] : sets_)
    if (text == select) return *set;
  auto set = std::make_unique<db::UpdatableRecordSet>(connection_, select);
  return *sets_.emplace_back(select, std::move(set)).second;
}

void F_IMP_DEVICE(RunState& s, DetailRecordSets& sets, const CsvLine& line) { importPlain(s, sets, kDevice, line); }

void F_IMP_DRIVE(RunState& s, DetailRecordSets& sets, const CsvLine& line) { importPlain(s, sets, kDrive, line); }

void F_IMP_VIDEO(RunState& s, DetailRecordSets& sets, const CsvLine& line) {
  if (line.size() < 2) return;  // no "," at all
  importPlain(s, sets, kVideo, line);
}

void F_IMP_PRINTER(RunState& s, DetailRecordSets& sets, const CsvLine& line) { importPlain(s, sets, kPrinter, line); }
void F_IMP_APPLINST(RunState& s, DetailRecordSets& sets, const CsvLine& line) { importPlain(s, sets, kApplInst, line); }
void F_IMP_SERVICE(RunState& s, DetailRecordSets& sets, const CsvLine& line) { importPlain(s, sets, kService, line); }
void F_IMP_STARTUP(RunState& s, DetailRecordSets& sets, const CsvLine& line) { importPlain(s, sets, kStartUp, line); }

void F_IMP_USERS(RunState& s, DetailRecordSets& sets, const CsvLine& line) { importPlain(s, sets, kUsers, line); }

void F_IMP_WINUPDREGCHECK(RunState& s, DetailRecordSets& sets, const CsvLine& line) {
  importPlain(s, sets, kRegCheck, line);
}

void F_IMP_WINUPDATE(RunState& s, DetailRecordSets& sets, const CsvLine& line) {
  // The line is not extended: a short one is reported, and its row keeps what the line has.
  if (!line.has(4))
    reportMessage(s, s.CurrentCsvName + ": T_WinUpdate: field " + std::to_string(line.size()) + " is missing");
  importPlain(s, sets, kWinUpdate, line);
}

std::vector<std::pair<std::string, std::vector<std::string>>> detailTableFields() {
  std::vector<std::pair<std::string, std::vector<std::string>>> tables;
  for (const DetailTable* t : {&kDevice, &kDrive, &kVideo, &kPrinter, &kApplInst, &kUsers, &kService, &kRegCheck,
                               &kStartUp, &kWinUpdate})
    tables.emplace_back(t->select.substr(std::string_view("Select * from ").size()), t->names);
  tables.emplace_back("T_NIC", kNicNames);
  return tables;
}

std::vector<std::string> detailFieldNames(DetailKind kind) {
  const std::vector<std::string>& names = tableOf(kind).names;
  return {names.begin() + 3, names.end()};
}

std::vector<std::string> detailRowValues(DetailKind kind, const CsvLine& line) {
  const DetailTable& t = tableOf(kind);
  OwnValues own;
  fillOwnValues(t, line, own);
  return {own.values.begin(), own.values.begin() + static_cast<std::ptrdiff_t>(t.fields.size())};
}

RegistryCheckParts cutRegistryCheck(std::string_view s) {
  RegistryCheckParts parts;
  std::size_t p = s.find(':');
  if (p == std::string_view::npos) return parts;
  std::size_t q = s.find(" f", p);
  if (q == std::string_view::npos) return parts;
  parts.reg = std::string(s.substr(p + 1, q - p - 1));
  // The file is what follows the six characters starting at q, less the last character of s.
  std::size_t start = text::leftChars(s.substr(q), 6).size() + q;
  std::size_t last = s.size();
  while (last > 0 && (static_cast<unsigned char>(s[last - 1]) & 0xC0) == 0x80) --last;
  if (last > 0) --last;
  if (start < last) parts.file = std::string(s.substr(start, last - start));
  return parts;
}

void F_IMP_NIC(RunState& s) {
  static const std::string NicAdapter::*const members[] = {
      &NicAdapter::NameT,          &NicAdapter::Name,          &NicAdapter::AdapterNameT, &NicAdapter::AdapterName,
      &NicAdapter::MACAddressT,    &NicAdapter::MACAddress,    &NicAdapter::IPAddressT,   &NicAdapter::IPAddress,
      &NicAdapter::IPMaskT,        &NicAdapter::IPMask,        &NicAdapter::GateWayT,     &NicAdapter::GateWay,
      &NicAdapter::DHCPServerT,    &NicAdapter::DHCPServer,    &NicAdapter::DHCPT,        &NicAdapter::DHCP,
      &NicAdapter::PriWinsServerT, &NicAdapter::PriWinsServer, &NicAdapter::SecWinsServerT, &NicAdapter::SecWinsServer};
  try {
    db::UpdatableRecordSet rs(s.DbConnection, "Select * from T_NIC");
    for (int n = 1; n <= s.NicAdapterCount && n <= static_cast<int>(s.NicAdapters.size()); ++n) {
      const NicAdapter& adapter = s.NicAdapters[static_cast<std::size_t>(n - 1)];
      if (adapter.NameT.empty()) continue;
      std::vector<db::FieldRef> values{static_cast<std::int64_t>(s.CurrentRno), std::string_view(s.CurrentPcId),
                                       std::string_view(createDateText(s)), static_cast<std::int64_t>(n)};
      for (auto member : members) values.emplace_back(std::string_view(adapter.*member));
      try {
        rs.addNew(kNicNames, values);
        rs.update();
        if (s.SearchFeed) s.SearchFeed->rowAdded("T_NIC", kNicNames, values, s.CurrentRno);
      } catch (const std::exception& e) {
        noteImportFailure(s, e);
      }
    }
    rs.close();
  } catch (const std::exception& e) {
    noteImportFailure(s, e);
  }
}

}  // namespace tavrix
