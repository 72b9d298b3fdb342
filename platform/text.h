// Text helpers: CP932 <-> UTF-8 conversion, blank trimming, padding and character counts.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrix::text {

// Inventory CSVs and script files are Windows-31J. Undecodable bytes become U+FFFD.
std::string cp932ToUtf8(std::string_view bytes);
// Characters that CP932 cannot hold become "?".
std::string utf8ToCp932(std::string_view utf8);
bool isValidUtf8(std::string_view bytes);
// Tavrix.ini: UTF-8 when it is valid UTF-8, else CP932.
std::string decodeUtf8OrCp932(std::string_view bytes);
// A settings file as a Windows editor may save it: UTF-16 (little or big endian) after its
// byte-order mark; anything else as decodeUtf8OrCp932. A broken UTF-16 unit becomes U+FFFD.
std::string decodeSettingsText(std::string_view bytes);

// Number of characters (code points) of UTF-8 text; a full-width character counts as one.
std::size_t charCount(std::string_view utf8);
// The first n characters of UTF-8 text.
std::string leftChars(std::string_view utf8, std::size_t n);

// Blanks are ASCII spaces only; the ideographic space U+3000 is text.
std::string_view trimLeft(std::string_view s);
std::string_view trimRight(std::string_view s);
std::string_view trim(std::string_view s);

std::string toUpperAscii(std::string_view s);
// ASCII letters to lower case; every other byte as it is.
char lowerAscii(char c);
std::string toLowerAscii(std::string_view s);
bool startsWithNoCase(std::string_view s, std::string_view prefix);
bool equalsNoCase(std::string_view a, std::string_view b);

// Padding counts characters; text of width characters or more is returned whole.
std::string padRight(std::string_view utf8, std::size_t width);  // left-aligned
std::string padLeft(std::string_view utf8, std::size_t width);   // right-aligned

// The number a text begins with: blanks are skipped, then a sign, digits with at most one
// decimal point and an exponent, up to the first other character; no number gives 0.
// nullopt only when the number is too large for a double.
std::optional<double> leadingNumber(std::string_view text);

// Splits at every separator; empty pieces stay ("a,,b" gives three fields).
std::vector<std::string> split(std::string_view s, char separator);
std::string replaceAll(std::string s, std::string_view from, std::string_view to);
// Doubles every apostrophe, for a text literal inside SQL.
std::string quoteSqlText(std::string_view s);

// A size written as a number and a unit ("38154MB", "1.5 GB", "512 KB", "1024"), in megabytes;
// none for anything else.
std::optional<double> sizeInMegabytes(std::string_view text);

}  // namespace tavrix::text
