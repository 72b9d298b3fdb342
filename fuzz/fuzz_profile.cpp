// The profile reader and F_READ_INI on a Tavrix.ini made of arbitrary bytes.
#include <cstdint>
#include <string>

#include "batch/settings.h"
#include "fuzz/fuzz_support.h"
#include "platform/profile.h"
#include "platform/text.h"

using namespace tavrix;

namespace {

// A looked-up value: the default itself, or valid UTF-8 that fits the 511-byte CP932 buffer.
void checkValue(const std::string& value, std::string_view defaultValue) {
  if (value == defaultValue) return;
  fuzz::require(text::isValidUtf8(value), "profile value is not valid UTF-8");
  fuzz::require(text::utf8ToCp932(value).size() <= 511, "profile value longer than 511 CP932 bytes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz::ProcessFolder folder;
  static const std::string ini = folder.file("Tavrix.ini");
  fuzz::writeBytes(ini, fuzz::bytesOf(data, size));

  // Short names too, so that the fuzzer reaches a matching section and key quickly.
  for (auto [section, key] : {std::pair{"Tavrix Section", "LOG_DIR"}, std::pair{"s", "k"}, std::pair{"", ""}})
    checkValue(profile::readString(ini, section, key, "@@@"), "@@@");

  static FixedClock clock{DateTime{2024, 1, 2, 3, 4, 5}};
  fuzz::CountingMessageSink sink;
  RunState s(sink, clock);
  s.ProgramFolder = "/opt/tavrix";
  s.IniPath = ini;
  fuzz::require(!F_READ_INI(s), "F_READ_INI failed on a readable file");
  for (const std::string* dir : {&s.LOG_DIR, &s.MDB_DIR, &s.CSV_DIR, &s.DSTRB_DIR, &s.CSV_SAVE_DIR})
    fuzz::require(!dir->empty() && dir->back() == '/', "a folder setting does not end with /");
  return 0;
}
