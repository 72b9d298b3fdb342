// A search's test of one value and one table.
#include "queries/search_text.h"

#include "platform/text.h"
#include "queries/text_match.h"

namespace tavrix::queries {

std::string SearchText::likePattern() const { return wholeValue ? wholePattern(text) : containsPattern(text); }

bool SearchText::matches(std::string_view value) const {
  return wholeValue ? text::equalsNoCase(value, text) : containsNoCase(value, text);
}

bool SearchText::searches(std::string_view tableName) const { return table.empty() || text::equalsNoCase(tableName, table); }

}  // namespace tavrix::queries
