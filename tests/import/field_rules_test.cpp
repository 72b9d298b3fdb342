// How CSV bytes and fields are read: CP932 decoding against iconv, leading numbers and their
// rounding, and the registry-check cut.
#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
#include <string>
#include <vector>

#include "import/csv_line.h"
#include "import/detail_importers.h"
#include "platform/text.h"

namespace tavrix {
namespace {

// iconv's UTF-8 for the bytes; nullopt when it cannot convert them all.
std::optional<std::string> viaIconv(std::string bytes) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  char out[16], *in = bytes.data(), *o = out;
  size_t inLeft = bytes.size(), outLeft = sizeof(out);
  bool converted = iconv(cd, &in, &inLeft, &o, &outLeft) != static_cast<size_t>(-1);
  iconv_close(cd);
  return converted ? std::optional<std::string>(std::string(out, o)) : std::nullopt;
}

// Every byte and byte pair: what iconv converts decodes the same; what it cannot gives U+FFFD.
TEST(FieldRules, Cp932DecodesAsIconv) {
  for (int a = 0; a < 256; ++a)
    for (int b = -1; b < 256; ++b) {
      std::string bytes = std::string(1, static_cast<char>(a)) + (b < 0 ? "" : std::string(1, static_cast<char>(b)));
      std::string decoded = text::cp932ToUtf8(bytes);
      if (auto expected = viaIconv(bytes)) ASSERT_EQ(decoded, *expected) << a << " " << b;
      else ASSERT_NE(decoded.find("\uFFFD"), std::string::npos) << a << " " << b;
    }
}

TEST(FieldRules, LeadingNumberAsTextAndRoundedHalvesToEven) {
  struct Case {
    std::string field, text;
    std::optional<int> rounded;
  };
  const std::vector<Case> cases = {
      {"133MHz", "133", 133}, {"512 KB", "512", 512},  {"2.5GHz", "2.5", 2},   {"3.5", "3.5", 4},     {"", "0", 0},
      {"KB512", "0", 0},      {"5.1.2600", "5.1", 5},  {"  42", "42", 42},     {"1 2 3x", "123", 123}, {"-1.5 V", "-1.5", -2},
      {"1e3Hz", "1000", 1000}, {"1E+2", "100", 100},  {"3e", "3", 3},         {"-0", "0", 0},        {".5", "0.5", 0},
      {"1,024", "1", 1},      {"1.49", "1.49", 1},    {"32767.4", "32767.4", 32767}, {"32767.6", "32767.6", std::nullopt}};
  for (const auto& c : cases) {
    double n = text::leadingNumber(c.field).value_or(-99);
    EXPECT_EQ(csv::numberText(n), c.text) << c.field;
    EXPECT_EQ(csv::roundHalfEven(n, -32768, 32767), c.rounded) << c.field;
  }
  EXPECT_FALSE(text::leadingNumber("1e999").has_value());
}

TEST(FieldRules, RegistryCheckCut) {
  const std::vector<std::vector<std::string>> cases = {  // field 6, RegChkReg, RegChkFile
      {"Ver:HKLM\\Software\\X file:C:\\x.dll)", "HKLM\\Software\\X", "C:\\x.dll"},
      {"no colon file:x)", "", ""},
      {"Ver:HKLM\\X", "", ""},               // a ":" but no " f" after it
      {"Ver:HKLM\\X file:", "HKLM\\X", ""},  // fewer than six characters after " f"
      {"Ver:a fあいうえおかき", "a", "おか"},    // counted in characters, not bytes
      {"x f:Ver:a file:b)", "Ver:a", "b"},  // " f" searched from the first ":"
  };
  for (const auto& c : cases) {
    RegistryCheckParts parts = cutRegistryCheck(c[0]);
    EXPECT_EQ(std::vector<std::string>({parts.reg, parts.file}), std::vector<std::string>(c.begin() + 1, c.end())) << c[0];
  }
}

}  // namespace
}  // namespace tavrix
