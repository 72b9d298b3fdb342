// The script file format: line preparation, ignored lines, header directives and statement assembly.
#include "dbscript/script_lines.h"

#include "platform/text.h"

namespace tavrix {

namespace {

// line without its first n characters (a character may be several bytes).
std::string_view dropChars(std::string_view line, std::size_t n) {
  return line.substr(text::leftChars(line, n).size());
}

// Byte length of the text before marker when marker stands at the second character or later.
std::optional<std::size_t> cutBefore(std::string_view v, std::string_view marker) {
  std::size_t at = v.find(marker);
  if (at == std::string_view::npos || at == 0) return std::nullopt;
  return at;
}

}  // namespace

std::string prepareScriptLine(std::string_view rawLine) {
  std::string line = text::cp932ToUtf8(rawLine);
  for (char& c : line) {
    if (c == '\t') c = ' ';
  }
  return line;
}

bool isIgnoredScriptLine(std::string_view line) {
  line = text::trimLeft(line);
  return line.empty() || line.front() == '\'' || line.starts_with("--");
}

Directive readDirective(std::string_view line) {
  if (text::startsWithNoCase(line, "MDBNAME")) return {DirectiveKind::MdbName, cutDirectiveValue(dropChars(line, 8))};
  if (text::startsWithNoCase(line, "USE")) return {DirectiveKind::MdbName, cutDirectiveValue(dropChars(line, 4))};
  if (text::startsWithNoCase(line, "TABLENAME"))
    return {DirectiveKind::TableName, cutDirectiveValue(dropChars(line, 10))};
  return {};
}

std::string cutDirectiveValue(std::string_view valueText) {
  std::string_view v = text::trimLeft(valueText);
  for (std::string_view marker : {";", "'", "--", " "}) {
    if (auto n = cutBefore(v, marker)) return std::string(v.substr(0, *n));
  }
  return std::string(text::trimRight(v));
}

std::optional<std::string> StatementAssembler::add(std::string_view line) {
  line = text::trim(line);
  if (isIgnoredScriptLine(line)) return std::nullopt;
  std::size_t semicolon = line.find(';');
  if (semicolon != std::string_view::npos && semicolon > 0) {
    gathered_.append(line.substr(0, semicolon + 1));
    std::string statement(text::trimLeft(gathered_));
    gathered_.clear();
    return statement;
  }
  std::size_t end = line.find('\'');
  if (end == std::string_view::npos) end = line.find("--");
  gathered_ += ' ';
  gathered_.append(text::trim(line.substr(0, end)));
  return std::nullopt;
}

}  // namespace tavrix
