// The list of committed inventories the save folder refused.
#include "batch/unsaved_csv.h"

#include <cstdio>
#include <sstream>

namespace tavrix {

namespace {

// FNV-1a: enough to tell a delivery from the next one of the same name, size and time.
std::uint64_t contentHash(std::string_view bytes) {
  std::uint64_t hash = 1469598103934665603ULL;
  for (char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ULL;
  }
  return hash;
}

}  // namespace

std::optional<std::string> unsavedListPath(const db::Location& database) { return database.besideFile(".unsaved"); }

std::vector<UnsavedCsv> readUnsavedList(const std::string& path) {
  std::vector<UnsavedCsv> files;
  const auto text = paths::readFile(path);
  if (!text) return files;
  std::istringstream lines(*text);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    UnsavedCsv file;
    if (!(fields >> file.size >> file.modifiedNs >> file.hash) || fields.get() != '\t') continue;
    std::getline(fields, file.name);
    if (!file.name.empty()) files.push_back(std::move(file));
  }
  return files;
}

bool writeUnsavedList(const std::string& path, const std::vector<UnsavedCsv>& files) {
  if (files.empty()) return !paths::entryExists(path) || paths::removeFile(path);
  std::string text;
  for (const UnsavedCsv& file : files) {
    if (file.name.find('\n') != std::string::npos) continue;  // a name no listing gives back the same
    text += std::to_string(file.size) + "\t" + std::to_string(file.modifiedNs) + "\t" + std::to_string(file.hash) +
            "\t" + file.name + "\n";
  }
  const std::string draft = path + ".new";
  if (!paths::writeFile(draft, text)) return false;
  if (std::rename(draft.c_str(), path.c_str()) == 0) return true;
  paths::removeFile(draft);
  return false;
}

UnsavedCsv unsavedRecordOf(const std::string& folder, const std::string& name) {
  UnsavedCsv record;
  record.name = name;
  const paths::FileIdentity identity = paths::identityOf(folder + name);
  const auto bytes = paths::readFile(folder + name);
  if (!identity.known() || !bytes) return record;
  record.size = identity.size;
  record.modifiedNs = static_cast<long long>(identity.modified.tv_sec) * 1000000000LL + identity.modified.tv_nsec;
  record.hash = contentHash(*bytes);
  return record;
}

}  // namespace tavrix
