// Finding the kept inventories in the save folder, with the date of each from its header line.
#include "history/kept_files.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <set>

#include "import/inventory_lines.h"
#include "platform/line_reader.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace tavrix::history {
namespace {

bool allDigits(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

enum class EntryType { File, Folder, Other };

// The entry's type from the listing, or from stat where the file system does not say.
EntryType typeOf(const std::string& folder, const dirent& entry) {
  if (entry.d_type == DT_REG) return EntryType::File;
  if (entry.d_type == DT_DIR) return EntryType::Folder;
  if (entry.d_type != DT_UNKNOWN && entry.d_type != DT_LNK) return EntryType::Other;
  struct stat st {};
  if (stat((folder + entry.d_name).c_str(), &st) != 0) return EntryType::Other;
  return S_ISREG(st.st_mode) ? EntryType::File : S_ISDIR(st.st_mode) ? EntryType::Folder : EntryType::Other;
}

// Calls each(name, type) for every entry of folder whose name does not begin with "."; false
// with error set when the folder cannot be listed.
bool listFolder(const std::string& folder, const std::function<void(const char*, EntryType)>& each,
                std::string& error) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) {
    error = std::strerror(errno);
    return false;
  }
  while (dirent* entry = readdir(dir))
    if (entry->d_name[0] != '.') each(entry->d_name, typeOf(folder, *entry));
  closedir(dir);
  return true;
}

std::string pcIdOfName(std::string_view name) { return text::decodeUtf8OrCp932(name.substr(0, name.find('.'))); }

// The inventory CSVs of one day, as relative paths: the day folder's own and its time folders'.
// The pick decides by name, before anything of the file is read.
void listDay(const std::string& root, const std::string& day, const std::function<bool(std::string_view)>& pick,
             std::vector<std::string>& found, std::vector<std::string>& problems) {
  std::vector<std::string> timeFolders;
  auto take = [&](const std::string& folder) {
    std::string error;
    bool listed = listFolder(root + folder, [&](const char* name, EntryType type) {
      if (type == EntryType::File && paths::matchesPattern(name, "*.csv") && pick(name)) found.push_back(folder + name);
      else if (type == EntryType::Folder && folder == day + "/" && isTimeFolderName(name))
        timeFolders.push_back(folder + name + "/");
    }, error);
    if (!listed) problems.push_back(folder + ": " + error);
  };
  take(day + "/");
  for (const std::string& folder : timeFolders) take(folder);
}

// Does nothing with what a header pass reports: the listing wants only the date.
class IgnoringSink : public InventoryLineSink {
 public:
  void detail(DetailKind, const CsvLine&) override {}
  void lineFailed(long, const std::string&) override {}
};

// The file's header date and time; false with error set when it has none or cannot be read.
bool readHeaderDate(const std::string& path, KeptFile& file, std::string& error) {
  BasicInfoRecord basic;
  int adapterCount = 0;
  std::vector<NicAdapter> adapters;
  bool headerFound = false, utf8 = false;
  IgnoringSink sink;
  paths::LineReader reader(path);
  if (reader.isOpen())
    readInventoryHeader(reader, {basic, adapterCount, adapters, headerFound, utf8, file.createDate}, sink, false);
  if (!reader.isOpen() || reader.failed()) {
    error = reader.errorText();
    return false;
  }
  if (!headerFound) {
    error = "no header line (0,1)";
    return false;
  }
  struct stat st {};
  if (stat(path.c_str(), &st) == 0) file.modified = st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
  return true;
}

bool older(const KeptFile& a, const KeptFile& b) {
  if (a.createDate != b.createDate) return a.createDate < b.createDate;
  if (a.modified != b.modified) return a.modified < b.modified;
  return a.path < b.path;
}

std::string withSlash(const std::string& folder) { return folder.empty() || folder.back() == '/' ? folder : folder + "/"; }

// The save folder's day folders, sorted; nullopt with error set when it cannot be listed. A name
// of eight digits that is no date (00000000, 20261399) holds no inventories' day: named in problems.
std::optional<std::vector<std::string>> dayFolders(const std::string& root, std::vector<std::string>& problems,
                                                   std::string& error) {
  std::vector<std::string> days, notDays;
  if (!listFolder(root, [&](const char* name, EntryType type) {
        if (type == EntryType::Folder && isDayFolderName(name)) (isRealDay(name) ? days : notDays).push_back(name);
      }, error)) {
    error = "cannot list the save folder " + root + ": " + error;
    return std::nullopt;
  }
  std::sort(days.begin(), days.end());
  std::sort(notDays.begin(), notDays.end());
  for (const std::string& name : notDays) problems.push_back(name + ": not a date, so no day of kept inventories");
  return days;
}

// Every kept inventory of the given day folders picked by name, with its header read.
std::vector<KeptFile> keptInDays(const std::string& root, const std::vector<std::string>& days,
                                 const std::function<bool(std::string_view)>& pick, std::vector<std::string>& problems) {
  std::vector<std::string> paths;
  for (const std::string& day : days) listDay(root, day, pick, paths, problems);
  std::vector<KeptFile> files;
  for (std::string& path : paths) {
    KeptFile file;
    std::string why;
    if (!readHeaderDate(root + path, file, why)) {
      problems.push_back(text::decodeUtf8OrCp932(path) + ": " + why);
      continue;
    }
    file.pcId = pcIdOfName(path.substr(path.rfind('/') + 1));
    file.path = text::decodeUtf8OrCp932(path);
    file.location = root + path;
    files.push_back(std::move(file));
  }
  return files;
}

std::string computerKey(std::string_view pcId) { return text::toUpperAscii(std::string(pcId)); }

}  // namespace

bool isDayFolderName(std::string_view name) { return name.size() == 8 && allDigits(name); }

bool isRealDay(std::string_view name) {
  if (!isDayFolderName(name)) return false;
  const std::string text =
      std::string(name.substr(0, 4)) + "/" + std::string(name.substr(4, 2)) + "/" + std::string(name.substr(6, 2));
  return DateTime::parse(text).has_value();
}

bool isTimeFolderName(std::string_view name) {
  if (name.size() < 6 || !allDigits(name.substr(0, 6))) return false;
  if (name.size() == 6) return true;
  return name[6] == '-' && name.size() > 7 && allDigits(name.substr(7));
}

KeptFiles findKeptInventories(const std::string& saveFolder, std::string_view pcId) {
  KeptFiles kept;
  std::map<std::string, std::vector<KeptFile>> found = findKeptInventoriesOf(saveFolder, {std::string(pcId)}, kept.problems, kept.error);
  if (!found.empty()) kept.files = std::move(found.begin()->second);
  return kept;
}

std::map<std::string, std::vector<KeptFile>> findKeptInventoriesOf(const std::string& saveFolder, const std::set<std::string>& pcIds,
                                                                   std::vector<std::string>& problems, std::string& error) {
  std::set<std::string> wanted;
  for (const std::string& pcId : pcIds) wanted.insert(computerKey(pcId));
  std::map<std::string, std::vector<KeptFile>> byComputer;
  const std::string root = withSlash(saveFolder);
  auto days = dayFolders(root, problems, error);
  if (!days) return byComputer;
  auto pick = [&](std::string_view name) { return wanted.contains(computerKey(pcIdOfName(name))); };
  for (KeptFile& file : keptInDays(root, *days, pick, problems)) byComputer[computerKey(file.pcId)].push_back(std::move(file));
  for (auto& [key, files] : byComputer) std::sort(files.begin(), files.end(), older);
  return byComputer;
}

std::vector<KeptFiles> findKeptInventoriesSince(const std::string& saveFolder, const DateTime& since,
                                                std::vector<std::string>& problems, std::string& error) {
  const std::string root = withSlash(saveFolder);
  auto days = dayFolders(root, problems, error);
  if (!days) return {};
  const auto split = std::lower_bound(days->begin(), days->end(), since.compactDay());
  std::map<std::string, KeptFiles> byComputer;  // computers with an inventory dated since
  std::map<std::string, KeptFile> before;       // each one's newest inventory dated before since
  auto noteBefore = [&](KeptFile& file) {
    const std::string key = computerKey(file.pcId);
    if (!byComputer.count(key)) return;
    auto [at, added] = before.try_emplace(key, file);
    if (!added && older(at->second, file)) at->second = std::move(file);
  };
  std::vector<KeptFile> datedBefore;
  for (KeptFile& file : keptInDays(root, {split, days->end()}, [](std::string_view) { return true; }, problems)) {
    if (file.createDate < since) datedBefore.push_back(std::move(file));
    else byComputer[computerKey(file.pcId)].files.push_back(std::move(file));
  }
  for (KeptFile& file : datedBefore) noteBefore(file);

  // The earlier days, newest first, until each computer's inventory in force on the day is found:
  // a file kept on a day was collected on that day or before, so an older day holds nothing newer.
  auto stillWanted = [&](const std::string& key, const std::string& day) {
    auto found = before.find(key);
    return byComputer.count(key) && (found == before.end() || found->second.createDate.compactDay() <= day);
  };
  for (auto day = std::make_reverse_iterator(split); day != days->rend(); ++day) {
    if (std::none_of(byComputer.begin(), byComputer.end(), [&](const auto& c) { return stillWanted(c.first, *day); }))
      break;
    auto wanted = [&](std::string_view name) { return stillWanted(computerKey(pcIdOfName(name)), *day); };
    for (KeptFile& file : keptInDays(root, {*day}, wanted, problems)) noteBefore(file);
  }

  std::vector<KeptFiles> computers;
  for (auto& [key, kept] : byComputer) {
    std::sort(kept.files.begin(), kept.files.end(), older);
    if (auto found = before.find(key); found != before.end()) kept.files.insert(kept.files.begin(), found->second);
    computers.push_back(std::move(kept));
  }
  return computers;
}

}  // namespace tavrix::history
