// The parts a sample computer is made of: devices, programs, services, printers and the like, as
// the collector names them on Japanese Windows desktops.
#pragma once

#include <string>
#include <vector>

namespace tavrix::samples {

struct DeviceModel {
  std::string name;
  std::string type;   // bus: PCI, ACPI, USB, ...
  int copiesMax;      // how many of it a computer may have (USB hubs, volumes)
};

struct OsModel {
  std::string caption;  // the operating system's name
  std::string version;  // its version number, e.g. 5.1.2600
  std::string windowsDir;
};

struct CpuModel {
  std::string mhz, name, externalClock, l2Cache;
};

struct NamedVersion {
  std::string name, version;
};

struct ServiceModel {
  std::string name, explanation;
  std::string start;  // 2 automatic, 3 manual, 4 disabled
};

struct StartUpModel {
  std::string type, name, command;
};

struct AntiVirusModel {
  std::string vendor, software, major, minor;
};

struct Catalog {
  std::vector<DeviceModel> devices;
  std::vector<std::string> hiddenDrivers;  // non-Plug and Play drivers, listed as devices too
  std::vector<OsModel> systems;
  std::vector<CpuModel> processors;
  std::vector<std::string> memorySizes;
  std::vector<NamedVersion> applications;
  std::vector<std::string> updateComments;      // Windows Update lines
  std::vector<std::string> hotfixComments;      // HotFix lines
  std::vector<NamedVersion> browserItems;       // Internet Explorer and other items
  std::vector<ServiceModel> services;
  std::vector<StartUpModel> startUps;
  std::vector<std::string> printers;
  std::vector<std::string> monitors;
  std::vector<std::string> displayAdapters;
  std::vector<std::string> resolutions;
  std::vector<std::string> networkAdapters;
  std::vector<AntiVirusModel> antiVirus;
  std::vector<std::string> familyNames;         // user names, romanised
  std::vector<std::string> kanjiNames;          // user names shown in Japanese
  std::vector<std::string> departments;         // computer name prefixes
  std::vector<std::string> localGroups;
  std::vector<std::string> domains;
};

const Catalog& catalog();

}  // namespace tavrix::samples
