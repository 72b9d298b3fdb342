// The CSV decoder against iconv itself: every one- and two-byte sequence, and random bytes, decode
// the same, an undecodable byte becoming U+FFFD and a bad trail byte being read again.
#include <gtest/gtest.h>
#include <iconv.h>

#include <cerrno>
#include <string>

#include "platform/text.h"

namespace tavrix {
namespace {

bool isLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool isTrail(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// iconv over the whole text, skipping what it cannot convert by the decoder's rule.
std::string reference(const std::string& bytes) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  std::string out;
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char buffer[16];
    char* o = buffer;
    size_t oLeft = sizeof(buffer);
    size_t rc = iconv(cd, &in, &inLeft, &o, &oLeft);
    out.append(buffer, sizeof(buffer) - oLeft);
    if (rc != static_cast<size_t>(-1) || errno == E2BIG) continue;
    unsigned char c = static_cast<unsigned char>(*in);
    size_t skip = isLead(c) && inLeft > 1 && isTrail(static_cast<unsigned char>(in[1])) ? 2 : 1;
    in += skip;
    inLeft -= skip;
    out += "\xEF\xBF\xBD";
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(cd);
  return out;
}

TEST(Cp932Decode, EveryOneAndTwoByteSequenceAsIconv) {
  for (int a = 0; a < 256; ++a) {
    std::string one(1, static_cast<char>(a));
    ASSERT_EQ(text::cp932ToUtf8(one), reference(one)) << a;
    for (int b = 0; b < 256; ++b) {
      std::string two = one + static_cast<char>(b);
      ASSERT_EQ(text::cp932ToUtf8(two), reference(two)) << a << " " << b;
      std::string inLine = "x," + two + ",";
      ASSERT_EQ(text::cp932ToUtf8(inLine), reference(inLine)) << a << " " << b;
    }
  }
}

TEST(Cp932Decode, RandomBytesAsIconv) {
  unsigned state = 7;
  for (int round = 0; round < 2000; ++round) {
    std::string bytes;
    for (int i = 0; i < 64; ++i) {
      state = state * 1103515245u + 12345u;
      bytes += static_cast<char>((state >> 16) & 0xFF);
    }
    ASSERT_EQ(text::cp932ToUtf8(bytes), reference(bytes)) << round;
  }
  EXPECT_EQ(text::cp932ToUtf8(text::utf8ToCp932("①㈱～髙ｱ、\\~")), "①㈱～髙ｱ、\\~");
}

}  // namespace
}  // namespace tavrix
