// One inventory CSV line split into fields, and the number conversions the reader applies to them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrix {

// A decoded line split at every ","; there is no quoting, so a comma always separates fields.
// The fields are views into the line's own text and stay valid until the next assign().
class CsvLine {
 public:
  void assign(std::string_view utf8Text);
  const std::string& text() const { return text_; }
  std::size_t size() const { return fields_.size(); }
  bool has(std::size_t index) const { return index < fields_.size(); }
  // The field, or "" when the line does not reach it.
  std::string_view get(std::size_t index) const { return has(index) ? fields_[index] : std::string_view(); }
  std::string_view operator[](std::size_t index) const { return fields_[index]; }

 private:
  std::string text_;
  std::vector<std::string_view> fields_;
};

// The number rules of the collector's fields.
namespace csv {

// A field that must be a number as a whole ("1", "01", "1.0", " 2 "); nullopt when it is not.
std::optional<double> strictNumber(std::string_view field);

// The number in shortest decimal form: 133, 2.5, 0.
std::string numberText(double value);

// Rounded to the nearest integer, halves to even; nullopt outside [low, high].
std::optional<int> roundHalfEven(double value, int low, int high);

}  // namespace csv

}  // namespace tavrix
