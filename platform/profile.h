// Profile (ini) file reading with the lookup rules of the Windows profile functions.
#pragma once

#include <string>
#include <string_view>

namespace tavrix::profile {

// Value of key in section of the file at path, or defaultValue when the file, section or key
// is missing. Section and key match without regard to case; blanks around the value are dropped;
// one pair of enclosing quotes (" or ') is removed; at most 511 bytes (in CP932) are returned.
std::string readString(const std::string& path, std::string_view section, std::string_view key,
                       std::string_view defaultValue);

}  // namespace tavrix::profile
