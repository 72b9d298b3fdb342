// The lines of one inventory CSV read into basic values and detail lines: the rules that the import
// and the history of kept inventories share.
#include "import/inventory_lines.h"

#include <cstdint>
#include <optional>
#include <string>

#include "platform/text.h"

namespace tavrix {
namespace {

using text::leadingNumber;
using csv::numberText;
using csv::roundHalfEven;
using csv::strictNumber;

enum class LineKind {
  Ignored, Header, ComputerName, UserName, OperatingSystem, Processor, Memory, Device, Drive, Video,
  Printer, Application, Network, Users, Service, RegistryCheck, StartUp, WinDir, SystemDir, Update, AntiVirus,
};

// The line kinds by section and item, both already numbers: "01" and "1.0" are 1.
LineKind classify(double section, double item) {
  static const LineKind sectionOne[] = {
      LineKind::Ignored,  LineKind::ComputerName, LineKind::UserName, LineKind::OperatingSystem,
      LineKind::Processor, LineKind::Memory,      LineKind::Device,   LineKind::Drive,
      LineKind::Video,    LineKind::Printer,      LineKind::Application, LineKind::Network,
      LineKind::Users,    LineKind::Service,      LineKind::RegistryCheck, LineKind::StartUp};
  if (section == 0 && item == 1) return LineKind::Header;
  if (section == 1 && item >= 1 && item <= 15 && item == static_cast<int>(item))
    return sectionOne[static_cast<int>(item)];
  if (section == 2 && item == 1) return LineKind::WinDir;
  if (section == 2 && item == 2) return LineKind::SystemDir;
  if (section == 3 && (item == 1 || item == 2 || item == 3)) return LineKind::Update;
  if (section == 11 && (item == 1 || item == 2)) return LineKind::AntiVirus;
  return LineKind::Ignored;  // 0,2 and section 10 included
}

// The steps of one line: each takes fields, and a step that fails is logged and skipped.
class LineSteps {
 public:
  LineSteps(InventoryTarget& target, InventoryLineSink& sink, const CsvLine& line, long number)
      : target_(target), sink_(sink), line_(line), number_(number) {}
  InventoryTarget& target() const { return target_; }
  InventoryLineSink& sink() const { return sink_; }
  const CsvLine& line() const { return line_; }

  void fail(const std::string& what) const { sink_.lineFailed(number_, what); }
  std::optional<std::string_view> field(std::size_t i) const {
    if (line_.has(i)) return line_[i];
    fail("field " + std::to_string(i) + " is missing");
    return std::nullopt;
  }
  // target := field i; a missing field leaves target as it was.
  void take(std::string& target, std::size_t i) const {
    if (auto f = field(i)) target.assign(*f);
  }
  std::optional<double> number(std::size_t i) const {
    auto f = field(i);
    if (!f) return std::nullopt;
    auto n = strictNumber(*f);
    if (!n) fail("field " + std::to_string(i) + " is not a number: " + std::string(text::leftChars(*f, 40)));
    return n;
  }
  std::optional<double> leading(std::size_t i) const {
    auto f = field(i);
    if (!f) return std::nullopt;
    auto n = leadingNumber(*f);
    if (!n) fail("field " + std::to_string(i) + " is out of range");
    return n;
  }

 private:
  InventoryTarget& target_;
  InventoryLineSink& sink_;
  const CsvLine& line_;
  long number_;
};

using Text = std::string BasicInfoRecord::*;

// Lines that set a caption from field 2 and its value from field 3.
struct CaptionPair {
  LineKind kind;
  Text caption, value;
};
const CaptionPair kCaptionPairs[] = {
    {LineKind::ComputerName, &BasicInfoRecord::ComputerNameT, &BasicInfoRecord::ComputerName},
    {LineKind::UserName, &BasicInfoRecord::UserNameT, &BasicInfoRecord::UserName},
    {LineKind::OperatingSystem, &BasicInfoRecord::OSVersionT, &BasicInfoRecord::OSVersion},
    {LineKind::Memory, &BasicInfoRecord::MemoryT, &BasicInfoRecord::MemorySize},
    {LineKind::WinDir, &BasicInfoRecord::WinDirT, &BasicInfoRecord::WinDir},
    {LineKind::SystemDir, &BasicInfoRecord::SystemDirT, &BasicInfoRecord::SystemDir},
};

// The whole-computer network settings by field 4, compared as text.
const std::pair<std::string_view, std::pair<Text, Text>> kNetworkSettings[] = {
    {"1", {&BasicInfoRecord::NIC_HostNameT, &BasicInfoRecord::NIC_HostName}},
    {"2", {&BasicInfoRecord::NIC_DomainNameT, &BasicInfoRecord::NIC_DomainName}},
    {"3", {&BasicInfoRecord::NIC_DnsServerT, &BasicInfoRecord::NIC_DnsServer}},
    {"4", {&BasicInfoRecord::NIC_NodeTypeT, &BasicInfoRecord::NIC_NodeType}},
    {"5", {&BasicInfoRecord::NIC_RoutingSTST, &BasicInfoRecord::NIC_RoutingSTS}},
    {"6", {&BasicInfoRecord::NIC_ProxySTST, &BasicInfoRecord::NIC_ProxySTS}},
    {"7", {&BasicInfoRecord::NIC_DnsSTST, &BasicInfoRecord::NIC_DnsSTS}},
};

using AdapterText = std::string NicAdapter::*;
// The adapter values by field 4 (compared as text): caption from field 5, value from field 6.
const std::pair<std::string_view, std::pair<AdapterText, AdapterText>> kAdapterValues[] = {
    {"10", {&NicAdapter::NameT, &NicAdapter::Name}},
    {"13", {&NicAdapter::GateWayT, &NicAdapter::GateWay}},
    {"14", {&NicAdapter::DHCPServerT, &NicAdapter::DHCPServer}},
    {"15", {&NicAdapter::PriWinsServerT, &NicAdapter::PriWinsServer}},
    {"16", {&NicAdapter::SecWinsServerT, &NicAdapter::SecWinsServer}},
    {"17", {&NicAdapter::AdapterNameT, &NicAdapter::AdapterName}},
    {"18", {&NicAdapter::DHCPT, &NicAdapter::DHCP}},
};

void applyProcessor(const LineSteps& l, BasicInfoRecord& b) {
  l.take(b.CPUT, 2);
  l.take(b.CPUMHz, 3);
  l.take(b.CPUName, 4);
  if (l.line().has(5)) {
    l.take(b.CPUExtClockT, 5);
    if (auto n = l.leading(6)) b.CPUExtClock = numberText(*n);
  } else {
    b.CPUExtClockT.clear();
    b.CPUExtClock.clear();
  }
  if (l.line().has(7)) {
    l.take(b.CPUL2CacheSizeT, 7);
    if (auto n = l.leading(8)) b.CPUL2CacheSize = numberText(*n);
  } else {
    b.CPUL2CacheSizeT.clear();
    b.CPUL2CacheSize.clear();
  }
}

void applyOperatingSystemId(const LineSteps& l, BasicInfoRecord& b) {
  auto n = l.leading(4);
  if (!n) return;
  if (auto id = roundHalfEven(*n, INT32_MIN, INT32_MAX)) b.OSVersionID = *id;
  else l.fail("field 4 overflows an integer");
}

void applyAntiVirus(const LineSteps& l, BasicInfoRecord& b) {
  b.VrsT = "ウィルス対策ソフト";
  l.take(b.VrsName, 2);
  l.take(b.VrsSoftName, 3);
  auto major = l.field(4);
  auto minor = l.field(5);
  if (major && minor) b.VrsVersion = std::string(*major) + std::string(*minor);
  l.take(b.VrsDefT, 6);
  l.take(b.VrsDef, 7);
}

void applyAdapter(const LineSteps& l, int n) {
  InventoryTarget& t = l.target();
  if (n > t.nicAdapterCount) {
    t.nicAdapterCount = n;
    if (t.nicAdapters.size() < static_cast<std::size_t>(n)) t.nicAdapters.resize(static_cast<std::size_t>(n));
  }
  NicAdapter& a = t.nicAdapters[static_cast<std::size_t>(n - 1)];
  auto key = l.field(4);
  if (!key) return;
  if (*key == "11") {
    auto caption = l.field(5);
    if (!caption) return;
    bool adapterName = *caption == "Adapter name";
    l.take(adapterName ? a.AdapterNameT : a.MACAddressT, 5);
    l.take(adapterName ? a.AdapterName : a.MACAddress, 6);
  } else if (*key == "12") {
    l.take(a.IPAddressT, 5);
    l.take(a.IPAddress, 6);
    l.take(a.IPMaskT, 7);
    l.take(a.IPMask, 8);
  } else {
    for (const auto& [k, members] : kAdapterValues) {
      if (*key != k) continue;
      l.take(a.*members.first, 5);
      l.take(a.*members.second, 6);
    }
  }
}

void applyNetwork(const LineSteps& l) {
  auto which = l.number(3);
  if (!which || *which < 0) return;
  if (*which == 0) {
    auto key = l.field(4);
    if (!key) return;
    for (const auto& [k, members] : kNetworkSettings) {
      if (*key != k) continue;
      l.take(l.target().basic.*members.first, 5);
      l.take(l.target().basic.*members.second, 6);
    }
    return;
  }
  // Adapter numbers are small integers; a huge one is refused rather than allocated.
  if (auto n = roundHalfEven(*which, 0, 32767)) {
    if (*n > 0) applyAdapter(l, *n);
  } else {
    l.fail("field 3 overflows an adapter number");
  }
}

void applyHeader(const LineSteps& l, bool firstPass) {
  InventoryTarget& t = l.target();
  if (!firstPass) {
    // The snapshot's identity was fixed by the header pass; here only the version is taken again.
    if (l.line().has(4)) t.basic.QuilloVer.assign(l.line()[4]);
    return;
  }
  t.headerFound = true;
  l.take(t.basic.QuilloVer, 4);
  if (auto f = l.field(5)) {
    if (auto date = DateTime::parse(*f)) t.createDate = *date;
    else l.fail("field 5 is not a date: " + std::string(text::leftChars(*f, 40)));
  }
}

void applyDetail(const LineSteps& l, LineKind kind) {
  InventoryLineSink& sink = l.sink();
  const CsvLine& line = l.line();
  switch (kind) {
    case LineKind::Device: sink.detail(DetailKind::Device, line); break;
    case LineKind::Drive: sink.detail(DetailKind::Drive, line); break;
    case LineKind::Printer: sink.detail(DetailKind::Printer, line); break;
    case LineKind::Application: sink.detail(DetailKind::Application, line); break;
    case LineKind::Users: sink.detail(DetailKind::Users, line); break;
    case LineKind::RegistryCheck: sink.detail(DetailKind::RegistryCheck, line); break;
    case LineKind::StartUp: sink.detail(DetailKind::StartUp, line); break;
    case LineKind::Update: sink.detail(DetailKind::Update, line); break;
    case LineKind::Video:
      if (auto n = l.number(3); n && *n > 0) sink.detail(DetailKind::Video, line);
      break;
    case LineKind::Service:
      // The list's heading line names the columns and is no service.
      if (auto f = l.field(3); f && *f != "<開始の種類>") sink.detail(DetailKind::Service, line);
      break;
    default: break;
  }
}

void applyLine(const LineSteps& l, LineKind kind) {
  BasicInfoRecord& b = l.target().basic;
  for (const auto& pair : kCaptionPairs) {
    if (pair.kind != kind) continue;
    l.take(b.*pair.caption, 2);
    l.take(b.*pair.value, 3);
  }
  switch (kind) {
    case LineKind::OperatingSystem: applyOperatingSystemId(l, b); break;
    case LineKind::Processor: applyProcessor(l, b); break;
    case LineKind::AntiVirus: applyAntiVirus(l, b); break;
    case LineKind::Network: applyNetwork(l); break;
    case LineKind::Header: applyHeader(l, false); break;
    default: applyDetail(l, kind); break;
  }
}

// The line's kind; Ignored also when section or item is missing or no number, which is not logged.
LineKind kindOf(const CsvLine& line) {
  if (line.size() < 2) return LineKind::Ignored;
  auto section = strictNumber(line[0]);
  auto item = section ? strictNumber(line[1]) : std::nullopt;
  return item ? classify(*section, *item) : LineKind::Ignored;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Takes a UTF-8 byte-order mark off the file's first line; true when there was one.
bool stripByteOrderMark(std::string& raw, long lineNumber) {
  if (lineNumber != 1 || !raw.starts_with(kByteOrderMark)) return false;
  raw.erase(0, kByteOrderMark.size());
  return true;
}

// The header pass: the identity from the header line, and whether a file that starts with a
// UTF-8 byte-order mark is UTF-8 throughout (read to its end only then).
void readHeader(paths::LineReader& reader, InventoryTarget& t, InventoryLineSink& sink, bool wholeFile) {
  t.headerFound = false;
  t.utf8 = false;
  std::string raw;
  CsvLine line;
  bool checkUtf8 = false;
  while (reader.next(raw)) {
    if (stripByteOrderMark(raw, reader.lineNumber())) checkUtf8 = t.utf8 = true;
    if (checkUtf8 && !text::isValidUtf8(raw)) {
      checkUtf8 = t.utf8 = false;
    }
    if (reader.tooLong()) continue;
    if (t.headerFound) {
      if (checkUtf8) continue;
      break;
    }
    line.assign(t.utf8 ? raw : text::cp932ToUtf8(raw));
    if (kindOf(line) != LineKind::Header) continue;
    applyHeader(LineSteps(t, sink, line, reader.lineNumber()), true);
    if (!checkUtf8 || !wholeFile) break;
  }
}

std::string tooLongText() {
  return "longer than " + std::to_string(paths::LineReader::kDefaultLimit) + " bytes, skipped";
}

// One line of the full pass, decoded.
void readLine(InventoryTarget& t, InventoryLineSink& sink, CsvLine& line, long number) {
  LineKind kind = kindOf(line);
  if (kind != LineKind::Ignored) applyLine(LineSteps(t, sink, line, number), kind);
}

// The full pass: every line to its step, until the end or the first failed database step.
void readAll(paths::LineReader& reader, InventoryTarget& t, InventoryLineSink& sink) {
  std::string raw;
  CsvLine line;
  while (!sink.stopped() && reader.next(raw)) {
    const long number = reader.lineNumber();
    if (reader.tooLong()) {
      sink.lineFailed(number, tooLongText());
      continue;
    }
    stripByteOrderMark(raw, number);
    line.assign(t.utf8 ? raw : text::cp932ToUtf8(raw));
    readLine(t, sink, line, number);
  }
}

// Whether the header pass finds the file UTF-8: a byte-order mark, and valid UTF-8 on every line.
bool readsAsUtf8(const paths::FileBytes& file) {
  if (!std::string_view(file.bytes).starts_with(kByteOrderMark)) return false;
  paths::LineReader reader(file);
  std::string raw;
  while (reader.next(raw)) {
    stripByteOrderMark(raw, reader.lineNumber());
    if (!text::isValidUtf8(raw)) return false;
  }
  return true;
}

}  // namespace

void readInventoryHeader(paths::LineReader& reader, InventoryTarget target, InventoryLineSink& sink, bool wholeFile) {
  readHeader(reader, target, sink, wholeFile);
}

void readInventoryLines(paths::LineReader& reader, InventoryTarget target, InventoryLineSink& sink) {
  readAll(reader, target, sink);
}

DecodedLines decodeInventoryLines(const paths::FileBytes& file) {
  DecodedLines out;
  if (!file.opened || !file.complete) return out;
  out.utf8 = readsAsUtf8(file);
  out.text.reserve(file.bytes.size() + file.bytes.size() / 4);
  paths::LineReader reader(file);
  std::string raw;
  while (reader.next(raw)) {
    if (!reader.tooLong()) {
      stripByteOrderMark(raw, reader.lineNumber());
      out.text += out.utf8 ? raw : text::cp932ToUtf8(raw);
    }
    out.lines.push_back({out.text.size(), reader.tooLong()});
  }
  out.decoded = !reader.failed();
  return out;
}

void readInventoryLines(const DecodedLines& lines, InventoryTarget target, InventoryLineSink& sink) {
  CsvLine line;
  std::size_t start = 0;
  for (std::size_t i = 0; i < lines.lines.size() && !sink.stopped(); ++i) {
    const long number = static_cast<long>(i) + 1;
    const DecodedLines::Line& l = lines.lines[i];
    const std::string_view text = std::string_view(lines.text).substr(start, l.end - start);
    start = l.end;
    if (l.tooLong) {
      sink.lineFailed(number, tooLongText());
      continue;
    }
    line.assign(text);
    readLine(target, sink, line, number);
  }
}

}  // namespace tavrix
