// Text helpers: CP932 <-> UTF-8 conversion, blank trimming, padding and character counts.
#include "platform/text.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <cctype>
#include <cstdlib>
#include <map>

namespace tavrix::text {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// One iconv descriptor per direction and thread; iconv_open is far too slow to call per line.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts input; an unconvertible sequence is skipped by skipLength() bytes and replaced.
  template <typename SkipFn>
  std::string run(std::string_view input, std::string_view replacement, SkipFn skipLength) {
    std::string out;
    if (!ok()) return std::string(input);
    out.resize(input.size() * 3 / 2 + 16);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    size_t used = 0;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    while (inLeft > 0) {
      char* outPtr = out.data() + used;
      size_t outLeft = out.size() - used;
      size_t rc = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
      used = out.size() - outLeft;
      if (rc != static_cast<size_t>(-1)) break;
      if (errno == E2BIG) {
        out.resize(out.size() * 2 + 16);
      } else {  // EILSEQ or EINVAL: a byte sequence the charset cannot take
        size_t skip = skipLength(std::string_view(in, inLeft));
        in += skip;
        inLeft -= skip;
        if (out.size() - used < replacement.size()) out.resize(out.size() * 2 + 16);
        std::memcpy(out.data() + used, replacement.data(), replacement.size());
        used += replacement.size();
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
      }
    }
    out.resize(used);
    return out;
  }

 private:
  iconv_t cd_;
};

bool isCp932Lead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool isCp932Trail(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

std::size_t utf8SequenceLength(unsigned char c) {
  if (c < 0x80) return 1;
  if ((c & 0xE0) == 0xC0) return 2;
  if ((c & 0xF0) == 0xE0) return 3;
  if ((c & 0xF8) == 0xF0) return 4;
  return 1;
}

bool isAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

// CP932 decoding by table: built once from iconv, so it maps exactly as iconv does, and about
// ten times faster per character than calling iconv on every line.
class Cp932Table {
 public:
  Cp932Table() {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) return;
    for (int b = 0x80; b <= 0xFF; ++b) {
      if (!isCp932Lead(static_cast<unsigned char>(b))) single_[b - 0x80] = convert(cd, {static_cast<char>(b)});
    }
    pairs_.resize(0x80 * 0x100);
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!isCp932Lead(static_cast<unsigned char>(lead))) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        if (isCp932Trail(static_cast<unsigned char>(trail)))
          pairs_[(lead - 0x80) * 0x100 + trail] = convert(cd, {static_cast<char>(lead), static_cast<char>(trail)});
      }
    }
    iconv_close(cd);
    ok_ = true;
  }
  bool ok() const { return ok_; }
  // UTF-8 of a byte that is no lead byte, or of a lead and a trail byte; empty when CP932 has none.
  std::string_view single(unsigned char b) const { return single_[b - 0x80].view(); }
  std::string_view pair(unsigned char lead, unsigned char trail) const { return pairs_[(lead - 0x80) * 0x100 + trail].view(); }

 private:
  struct Entry {
    char bytes[4] = {};
    unsigned char size = 0;
    std::string_view view() const { return std::string_view(bytes, size); }
  };
  static Entry convert(iconv_t cd, std::string input) {
    Entry e;
    char* in = input.data();
    size_t inLeft = input.size();
    char* out = e.bytes;
    size_t outLeft = sizeof(e.bytes);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1) && inLeft == 0)
      e.size = static_cast<unsigned char>(sizeof(e.bytes) - outLeft);
    return e;
  }
  std::array<Entry, 0x80> single_{};
  std::vector<Entry> pairs_;
  bool ok_ = false;
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlankOrTab(char c) { return c == ' ' || c == '\t'; }

// Parses the collected characters (digits, one ".", an "e" part) as a double.
std::optional<double> parseCollected(const std::string& digits) {
  double value = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (ec == std::errc::result_out_of_range) return std::nullopt;
  if (ec != std::errc() || end != digits.data() + digits.size()) return 0.0;
  return value;
}

}  // namespace

std::string cp932ToUtf8(std::string_view bytes) {
  if (isAscii(bytes)) return std::string(bytes);
  static const Cp932Table table;
  if (!table.ok()) return std::string(bytes);
  // One CP932 byte gives at most four UTF-8 bytes (in fact three: half-width kana, U+FFFD).
  std::string out(bytes.size() * 4, '\0');
  char* o = out.data();
  const std::size_t n = bytes.size();
  for (std::size_t i = 0; i < n;) {
    unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) {
      *o++ = static_cast<char>(c);
      ++i;
      continue;
    }
    // A valid lead byte followed by an invalid trail takes only the lead byte, so the
    // trail (often an ASCII comma) is read again on its own.
    bool pair = isCp932Lead(c) && i + 1 < n && isCp932Trail(static_cast<unsigned char>(bytes[i + 1]));
    std::string_view utf8 = pair ? table.pair(c, static_cast<unsigned char>(bytes[i + 1])) : table.single(c);
    if (utf8.empty()) utf8 = kReplacement;
    for (char b : utf8) *o++ = b;
    i += pair ? 2 : 1;
  }
  out.resize(static_cast<std::size_t>(o - out.data()));
  return out;
}

std::string utf8ToCp932(std::string_view utf8) {
  if (isAscii(utf8)) return std::string(utf8);
  thread_local Converter conv("CP932", "UTF-8");
  return conv.run(utf8, "?", [](std::string_view rest) -> size_t {
    std::size_t n = utf8SequenceLength(static_cast<unsigned char>(rest[0]));
    return n <= rest.size() ? n : rest.size();
  });
}

bool isValidUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t n;
    std::uint32_t cp;
    if (c < 0x80) { ++i; continue; }
    if (c >= 0xC2 && c <= 0xDF) { n = 2; cp = c & 0x1F; }
    else if ((c & 0xF0) == 0xE0) { n = 3; cp = c & 0x0F; }
    else if (c >= 0xF0 && c <= 0xF4) { n = 4; cp = c & 0x07; }
    else return false;
    if (i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k) {
      unsigned char t = static_cast<unsigned char>(s[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (t & 0x3F);
    }
    if ((n == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
      return false;
    i += n;
  }
  return true;
}

std::string decodeUtf8OrCp932(std::string_view bytes) {
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF" && isValidUtf8(bytes)) return std::string(bytes.substr(3));
  return isValidUtf8(bytes) ? std::string(bytes) : cp932ToUtf8(bytes);
}

namespace {

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  auto unit = [&](std::size_t i) -> char32_t {
    auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? (a << 8 | b) : (b << 8 | a);
  };
  std::string out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    char32_t c = unit(i);
    if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
      i += 2;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    appendUtf8(out, c);
  }
  if (i < bytes.size()) appendUtf8(out, 0xFFFD);  // an odd last byte
  return out;
}

}  // namespace

std::string decodeSettingsText(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE")) return utf16ToUtf8(bytes.substr(2), false);
  if (bytes.starts_with("\xFE\xFF")) return utf16ToUtf8(bytes.substr(2), true);
  return decodeUtf8OrCp932(bytes);
}

std::size_t charCount(std::string_view utf8) {
  std::size_t n = 0;
  for (unsigned char c : utf8)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

std::string leftChars(std::string_view utf8, std::size_t n) {
  std::size_t i = 0;
  for (std::size_t count = 0; i < utf8.size() && count < n; ++count) {
    i += utf8SequenceLength(static_cast<unsigned char>(utf8[i]));
  }
  return std::string(utf8.substr(0, std::min(i, utf8.size())));
}

std::string_view trimLeft(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  return s.substr(i);
}

std::string_view trimRight(std::string_view s) {
  std::size_t n = s.size();
  while (n > 0 && s[n - 1] == ' ') --n;
  return s.substr(0, n);
}

std::string_view trim(std::string_view s) { return trimRight(trimLeft(s)); }

std::string toUpperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string toLowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = lowerAscii(c);
  return out;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && equalsNoCase(s.substr(0, prefix.size()), prefix);
}

std::string padRight(std::string_view utf8, std::size_t width) {
  std::string out(utf8);
  std::size_t n = charCount(utf8);
  if (n < width) out.append(width - n, ' ');
  return out;
}

std::string padLeft(std::string_view utf8, std::size_t width) {
  std::size_t n = charCount(utf8);
  std::string out;
  if (n < width) out.assign(width - n, ' ');
  out.append(utf8);
  return out;
}

std::vector<std::string> split(std::string_view s, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    std::size_t pos = s.find(separator, start);
    if (pos == std::string_view::npos) {
      parts.emplace_back(s.substr(start));
      return parts;
    }
    parts.emplace_back(s.substr(start, pos - start));
    start = pos + 1;
  }
}

std::string replaceAll(std::string s, std::string_view from, std::string_view to) {
  if (from.empty()) return s;
  std::size_t pos = 0;
  while ((pos = s.find(from, pos)) != std::string::npos) {
    s.replace(pos, from.size(), to);
    pos += to.size();
  }
  return s;
}

std::optional<double> leadingNumber(std::string_view field) {
  std::string collected;
  std::size_t i = 0;
  auto skipBlanks = [&] {
    while (i < field.size() && isBlankOrTab(field[i])) ++i;
  };
  skipBlanks();
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) {
    if (field[i] == '-') collected += '-';
    ++i;
  }
  bool point = false, anyDigit = false;
  for (skipBlanks(); i < field.size(); skipBlanks()) {
    char c = field[i];
    if (isDigit(c)) anyDigit = true;
    else if (c == '.' && !point) point = true;
    else break;
    collected += c;
    ++i;
  }
  if (!anyDigit) return 0.0;
  if (i < field.size() && (field[i] == 'e' || field[i] == 'E')) {
    std::string exponent = "e";
    std::size_t j = i + 1;
    if (j < field.size() && (field[j] == '+' || field[j] == '-')) exponent += field[j++];
    std::size_t digitsStart = exponent.size();
    for (; j < field.size() && (isDigit(field[j]) || isBlankOrTab(field[j])); ++j)
      if (isDigit(field[j])) exponent += field[j];
    if (exponent.size() > digitsStart) collected += exponent;
  }
  return parseCollected(collected);
}

std::string quoteSqlText(std::string_view s) { return replaceAll(std::string(s), "'", "''"); }

std::optional<double> sizeInMegabytes(std::string_view text) {
  text = trim(text);
  std::size_t digits = 0;
  bool point = false;
  while (digits < text.size() && (std::isdigit(static_cast<unsigned char>(text[digits])) || (text[digits] == '.' && !point))) {
    point = point || text[digits] == '.';
    ++digits;
  }
  if (digits == 0 || text.substr(0, digits) == ".") return std::nullopt;
  const double number = std::strtod(std::string(text.substr(0, digits)).c_str(), nullptr);
  const std::string unit = toUpperAscii(std::string(trim(text.substr(digits))));
  static const std::map<std::string, double> kUnits = {{"", 1.0 / (1 << 20)}, {"B", 1.0 / (1 << 20)}, {"BYTES", 1.0 / (1 << 20)},
                                                        {"KB", 1.0 / 1024}, {"MB", 1}, {"GB", 1024}, {"TB", 1024.0 * 1024}};
  const auto found = kUnits.find(unit);
  if (found == kUnits.end()) return std::nullopt;
  return number * found->second;
}

}  // namespace tavrix::text
