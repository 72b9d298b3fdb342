// The script file format: line preparation, ignored lines, header directives and statement assembly.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavrix {

// A raw CP932 line as text, every tab turned into one blank.
std::string prepareScriptLine(std::string_view rawLine);
// Empty once leading blanks are removed, or starting with "'" or "--" after them.
bool isIgnoredScriptLine(std::string_view line);

enum class DirectiveKind { None, MdbName, TableName };

struct Directive {
  DirectiveKind kind = DirectiveKind::None;
  std::string value;  // cut, not trimmed
};

// A header line (leading blanks removed): MDBNAME or USE, TABLENAME, or nothing, by prefix test.
Directive readDirective(std::string_view line);
// The value cut from a directive's value text by the first rule that keeps at least one character:
// up to ";", up to "'", up to "--", up to a blank, else all but trailing blanks.
std::string cutDirectiveValue(std::string_view valueText);

// Gathers body lines into complete statements.
class StatementAssembler {
 public:
  // Takes one prepared body line; returns the statement that this line completes, if any.
  std::optional<std::string> add(std::string_view line);

 private:
  std::string gathered_;
};

}  // namespace tavrix
