// Seven-bit groups, low group first, the high bit set on every group but the last.
#include "searchindex/snapshot_numbers.h"

#include <limits>

namespace tavrix::searchindex {

std::string encodeSnapshots(const std::vector<std::int64_t>& rnos) {
  std::string blob;
  blob.reserve(rnos.size() * 2);
  std::uint64_t previous = 0;
  for (std::int64_t rno : rnos) {
    std::uint64_t gap = static_cast<std::uint64_t>(rno) - previous;
    previous = static_cast<std::uint64_t>(rno);
    while (gap >= 0x80) {
      blob += static_cast<char>((gap & 0x7F) | 0x80);
      gap >>= 7;
    }
    blob += static_cast<char>(gap);
  }
  return blob;
}

std::optional<std::vector<std::int64_t>> decodeSnapshots(std::string_view blob) {
  std::vector<std::int64_t> rnos;
  std::uint64_t previous = 0, gap = 0;
  int shift = 0;
  for (char c : blob) {
    const auto byte = static_cast<unsigned char>(c);
    if (shift > 56) return std::nullopt;
    gap |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
    if (byte & 0x80) {
      shift += 7;
      continue;
    }
    if (gap > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) - previous) return std::nullopt;
    previous += gap;
    rnos.push_back(static_cast<std::int64_t>(previous));
    gap = 0;
    shift = 0;
  }
  if (shift != 0) return std::nullopt;
  return rnos;
}

}  // namespace tavrix::searchindex
