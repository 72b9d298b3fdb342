// Statement texts given each engine's form: the file's Jet rewrites and the server's (names quoted
// as a catalogue spells them, text folded to ASCII case). Any text is rewritten without a crash,
// and the literals come through untouched where names are only quoted.
#include <algorithm>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/jet_dialect.h"
#include "platform/text.h"

using namespace tavrix;

namespace {

// A small catalogue: two spellings of one name, text and number columns.
std::optional<db::ServerName> known(std::string_view name) {
  if (name == "Version" || text::equalsNoCase(name, "PCid") || text::equalsNoCase(name, "Group"))
    return db::ServerName{std::string(name == "Version" ? "Version" : name), true};
  if (text::equalsNoCase(name, "VERSION")) return db::ServerName{"VERSION", false};
  if (text::equalsNoCase(name, "RNO")) return db::ServerName{"RNO", false};
  return std::nullopt;
}

// The '...' literals of a text, in order.
std::string literals(std::string_view sql) {
  std::string out;
  bool inside = false;
  for (char c : sql) {
    if (c == '\'') inside = !inside;
    if (inside || c == '\'') out += c;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view sql(reinterpret_cast<const char*>(data), size);
  (void)db::translateJet(sql);
  (void)db::translateJet(sql, db::JetNames::QuotedNames, known);
  const std::string quoted = db::translateJet(sql, db::JetNames::QuotedNames);
  // Only whole literals are looked at (an unterminated one takes in what a rewrite added), outside
  // quoted names ("..." and [...] may hold an apostrophe), no date literal (#...# becomes one), and
  // no DELETE or DROP (their Jet forms lose a field list or a table name, literals and all).
  const std::size_t quotes = static_cast<std::size_t>(std::count(sql.begin(), sql.end(), '\''));
  const std::string upper = text::toUpperAscii(sql);
  if (sql.find_first_of("#\"[") == std::string_view::npos && quotes % 2 == 0 && upper.find("DELETE") == std::string::npos &&
      upper.find("DROP") == std::string::npos)
    fuzz::require(literals(quoted) == literals(sql), "a literal changed when names were quoted");
  return 0;
}
