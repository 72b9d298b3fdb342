// Assembling tree lines from field values: spacers, padding and the NULL-aware text tests.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/db.h"

namespace tavrix {

// Blanks, then ": " — the separator between a caption and its value.
std::string spacer(int blanks);

// A NULL value gives "" without padding; text of n characters or more is used whole.
std::string leftAligned(const db::Value& v, std::size_t n);
std::string rightAligned(const db::Value& v, std::size_t n);

// Characters of the value's text (full-width = 1); nullopt for NULL, so every length test on a
// NULL value is false: a NULL is neither empty nor not empty.
std::optional<std::size_t> charLength(const db::Value& v);
bool isEmptyText(const db::Value& v);
bool isNotEmptyText(const db::Value& v);
bool hasFewerChars(const db::Value& v, std::size_t n);

// Leading and trailing blanks removed; NULL stays NULL.
db::Value trimmed(const db::Value& v);

// A stored date-time as "yyyy/mm/dd hh:nn"; NULL gives "", text that is no date is shown as stored.
std::string minuteText(const db::Value& v);

}  // namespace tavrix
