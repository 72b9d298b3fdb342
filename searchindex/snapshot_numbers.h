// The snapshots a text is found in, kept as one blob: ascending RNOs, each written as its distance
// from the one before in seven-bit groups (the first from zero).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrix::searchindex {

// rnos ascending, none negative.
std::string encodeSnapshots(const std::vector<std::int64_t>& rnos);

// The RNOs of a blob; none when it is not one that encodeSnapshots writes (cut short, or too big).
std::optional<std::vector<std::int64_t>> decodeSnapshots(std::string_view blob);

}  // namespace tavrix::searchindex
