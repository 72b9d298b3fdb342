// Reading [Watch]: lists separated by ";", switches ON/OFF, whole numbers in a range.
#include "batch/watch_rules.h"

#include <charconv>

#include "platform/profile.h"
#include "platform/text.h"

namespace tavrix {
namespace {

constexpr std::string_view kSection = "Watch";

std::string valueOf(const std::string& path, std::string_view key) {
  return std::string(text::trim(profile::readString(path, kSection, key, "")));
}

std::vector<std::string> listOf(const std::string& value) {
  std::vector<std::string> texts;
  for (std::size_t start = 0; start <= value.size();) {
    const std::size_t end = std::min(value.find(';', start), value.size());
    if (const std::string_view part = text::trim(std::string_view(value).substr(start, end - start)); !part.empty())
      texts.emplace_back(part);
    start = end + 1;
  }
  return texts;
}

// What the readers below throw: the settings error's words for a value that does not read.
struct Unreadable {
  std::string why;
};

bool switchOf(const std::string& key, const std::string& value) {
  const std::string upper = text::toUpperAscii(value);
  if (upper.empty() || upper == "OFF" || upper == "NO" || upper == "0") return false;
  if (upper == "ON" || upper == "YES" || upper == "1") return true;
  throw Unreadable{key + "（" + value + "）が読めません（ON か OFF で書いてください）。"};
}

std::optional<int> numberOf(const std::string& key, const std::string& value, int least, int most) {
  if (value.empty()) return std::nullopt;
  int number = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (error != std::errc() || end != value.data() + value.size() || number < least || number > most)
    throw Unreadable{key + "（" + value + "）が読めません（" + std::to_string(least) + " から " + std::to_string(most) +
                     " の整数で書いてください）。"};
  return number;
}

}  // namespace

bool WatchRules::any() const {
  return !programAdded.empty() || !programRemoved.empty() || adminAdded || updateRemoved || diskFreeBelow || notSeenDays ||
         ipChanged;
}

WatchRules readWatchRules(const std::string& path, std::string& problem) {
  problem.clear();
  WatchRules rules;
  try {
    rules.programAdded = listOf(valueOf(path, "PROGRAM_ADDED"));
    rules.programRemoved = listOf(valueOf(path, "PROGRAM_REMOVED"));
    rules.adminAdded = switchOf("ADMIN_ADDED", valueOf(path, "ADMIN_ADDED"));
    rules.updateRemoved = switchOf("UPDATE_REMOVED", valueOf(path, "UPDATE_REMOVED"));
    rules.diskFreeBelow = numberOf("DISK_FREE_BELOW", valueOf(path, "DISK_FREE_BELOW"), 1, 99);
    rules.notSeenDays = numberOf("NOT_SEEN_DAYS", valueOf(path, "NOT_SEEN_DAYS"), 1, 36500);
    rules.ipChanged = switchOf("IP_CHANGED", valueOf(path, "IP_CHANGED"));
    rules.mailTo = valueOf(path, "MAIL_TO");
    if (rules.mailTo.find_first_of(" \t,") != std::string::npos || (!rules.mailTo.empty() && rules.mailTo.find('@') == std::string::npos))
      throw Unreadable{"MAIL_TO（" + rules.mailTo + "）が読めません（宛先を一つ、name@example.com の形で書いてください）。"};
  } catch (const Unreadable& unreadable) {
    problem = unreadable.why;
    return {};
  }
  return rules;
}

}  // namespace tavrix
