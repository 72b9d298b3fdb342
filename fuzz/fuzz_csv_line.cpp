// A CSV line split into fields, and the number and cut rules applied to every field.
#include <cmath>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "import/csv_line.h"
#include "import/detail_importers.h"
#include "platform/text.h"

using namespace tavrix;

namespace {

void checkNumberRules(std::string_view field) {
  const auto strict = csv::strictNumber(field);
  const auto leading = text::leadingNumber(field);
  // A field that is a number as a whole begins with that same number.
  if (strict) fuzz::require(leading && *leading == *strict, "strictNumber and leadingNumber disagree");
  for (const auto& n : {strict, leading}) {
    if (!n) continue;
    fuzz::require(std::isfinite(*n), "a field read as a number that is not finite");
    const std::string shown = csv::numberText(*n);
    fuzz::require(csv::strictNumber(shown) == *n, "numberText does not read back as the same number");
    if (auto r = csv::roundHalfEven(*n, -32768, 32767))
      fuzz::require(*r >= -32768 && *r <= 32767 && std::fabs(*r - *n) <= 0.5, "roundHalfEven out of range");
    (void)csv::roundHalfEven(*n, INT32_MIN, INT32_MAX);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CsvLine line;
  line.assign(text::cp932ToUtf8(fuzz::bytesOf(data, size)));
  std::string joined;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (i > 0) joined += ',';
    joined.append(line[i]);
    fuzz::require(line[i].find(',') == std::string_view::npos, "a field holds a comma");
    checkNumberRules(line[i]);
  }
  fuzz::require(line.size() >= 1 && joined == line.text(), "the fields do not make up the line");
  fuzz::require(line.get(line.size()).empty() && !line.has(line.size()), "a field past the end");
  const RegistryCheckParts parts = cutRegistryCheck(line.get(6));
  fuzz::require(text::isValidUtf8(parts.reg) && text::isValidUtf8(parts.file), "the registry-check cut split a character");
  return 0;
}
