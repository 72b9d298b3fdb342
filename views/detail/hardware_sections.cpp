// Devices, drives, displays and printers of the detail tree.
#include "platform/text.h"
#include "views/detail/detail_sections.h"
#include "views/detail/line_format.h"

namespace tavrix::detail {
namespace {

std::string deviceLine(const Row& r) {
  db::Value name = r["DeviceName"];
  std::string line = name.text();
  // A NULL name has no length, so it takes the single blank like a long one.
  line = hasFewerChars(name, 41) ? text::padRight(line, 42) : line + " ";
  line += rightAligned(r["DeviceType"], 7);

  std::string driver = leftAligned(r["DriverName"], 6) + leftAligned(r["DeviceOption"], 6);
  line += text::trim(driver).empty() ? std::string(16, ' ') : " [" + driver + "] ";

  db::Value spaceT = r["DeviceSpaceT"];
  if (isNotEmptyText(trimmed(spaceT))) line += spaceT.text() + ":" + rightAligned(r["DeviceSpace"], 12);
  return line;
}

std::string driveLine(const Row& r) {
  std::string line = r.text("DriveLetter") + ":  ";
  db::Value fileSystem = r["FileSystem"];
  if (isEmptyText(fileSystem)) return line + r.text("DriveType");
  return line + leftAligned(fileSystem, 7) + r.text("AllSpaceT") + ": " + rightAligned(r["AllSpace"], 10) +
         "  " + r.text("FreeSpaceT") + ": " + rightAligned(r["FreeSpace"], 10);
}

void addDisplayRow(DetailLoad& d, const Row& r) {
  db::Value no = r["VideoNo"];
  auto length = charLength(no);
  if (!length || *length != 1) {
    d.add("Video", "", no.text() + "   " + r.text("VideoColor"));
    return;
  }
  d.add("Video", "", no.text() + ".  " + rightAligned(r["VideoResolution"], 11) + rightAligned(r["VideoColor"], 7) +
                         rightAligned(r["VideoRefreshRate"], 5));
  if (isNotEmptyText(r["MonitorName"]))
    d.add("Video", no.text() + "Monitor", "     " + r.text("MonitorT") + ": " + r.text("MonitorName") + ")");
  if (isNotEmptyText(r["AdapterName"]))
    d.add("Video", no.text() + "Adapter", "     " + r.text("AdapterT") + ": " + r.text("AdapterName") + ")");
}

}  // namespace

void addDeviceSection(DetailLoad& d) {
  runSection(
      d, "SELECT * FROM T_Device where RNO=" + d.rno + " order by DeviceNo", "Device",
      [](const Row& r) { return r.text("DeviceT") + ":"; },
      [&](const Row& r) { d.add("Device", "", deviceLine(r)); });
}

void addDriveSection(DetailLoad& d) {
  runSection(
      d, "SELECT * FROM T_Drive where RNO=" + d.rno + " order by DriveLetter", "Drice",
      [](const Row&) { return std::string("ドライブ:"); },
      [&](const Row& r) { d.add("Drice", r.text("DriveLetter"), driveLine(r)); });
}

void addDisplaySection(DetailLoad& d) {
  runSection(
      d, "SELECT * FROM T_Video where RNO=" + d.rno + " order by VideoNo", "Video",
      [](const Row&) { return std::string("ディスプレイ解像度:"); },
      [&](const Row& r) { addDisplayRow(d, r); });
}

void addPrinterSection(DetailLoad& d) {
  runSection(
      d, "SELECT * FROM T_Printer where RNO=" + d.rno + " order by PrinterName", "Printer",
      [](const Row&) { return std::string("プリンタ一覧:"); },
      [&](const Row& r) {
        std::string name = r.text("PrinterName");
        d.add("Printer", name, name);
      });
}

}  // namespace tavrix::detail
