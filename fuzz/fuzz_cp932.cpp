// CP932 decoding and the UTF-8 helpers of platform/text on arbitrary bytes.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/text.h"

using namespace tavrix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = fuzz::bytesOf(data, size);
  const std::string utf8 = text::cp932ToUtf8(bytes);
  fuzz::require(text::isValidUtf8(utf8), "cp932ToUtf8 gave invalid UTF-8");
  // Every character comes from one or two bytes.
  const std::size_t chars = text::charCount(utf8);
  fuzz::require(chars <= size && 2 * chars >= size, "cp932ToUtf8 character count out of bounds");

  // Text that decoded without a replacement holds only characters CP932 has, so it survives the way back.
  if (utf8.find("\xEF\xBF\xBD") == std::string::npos)
    fuzz::require(text::cp932ToUtf8(text::utf8ToCp932(utf8)) == utf8, "CP932 round trip changed the text");

  const std::string either = text::decodeUtf8OrCp932(bytes);
  fuzz::require(text::isValidUtf8(either), "decodeUtf8OrCp932 gave invalid UTF-8");
  if (text::isValidUtf8(bytes) && !bytes.starts_with("\xEF\xBB\xBF"))
    fuzz::require(either == bytes, "valid UTF-8 was not kept as it is");

  // Encoding takes any bytes, valid UTF-8 or not.
  (void)text::utf8ToCp932(bytes);

  const std::size_t half = chars / 2;
  const std::string left = text::leftChars(utf8, half);
  fuzz::require(utf8.starts_with(left) && text::charCount(left) == half, "leftChars is no prefix of that length");
  fuzz::require(text::charCount(text::padLeft(utf8, chars + 3)) == chars + 3, "padLeft width");
  fuzz::require(text::charCount(text::padRight(left, chars)) == chars, "padRight width");
  const std::string_view trimmed = text::trim(utf8);
  fuzz::require(trimmed.empty() || (trimmed.front() != ' ' && trimmed.back() != ' '), "trim left a blank");
  return 0;
}
