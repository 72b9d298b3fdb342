// A script file of arbitrary bytes read as F04_READ_SQLTXT reads it: header directives up to the
// first TABLENAME, then body lines gathered into statements and classified. Nothing is executed.
#include <cstdint>
#include <string>

#include "dbscript/exec_sqltxt.h"
#include "dbscript/script_lines.h"
#include "fuzz/fuzz_support.h"
#include "platform/line_reader.h"
#include "platform/paths.h"
#include "platform/text.h"

using namespace tavrix;

namespace {

void checkDirective(const Directive& d) {
  if (d.kind == DirectiveKind::None) return;
  fuzz::require(text::isValidUtf8(d.value), "a directive value split a character");
  fuzz::require(d.value.empty() || d.value.front() != ' ', "a directive value begins with a blank");
}

void checkStatement(const std::string& statement) {
  fuzz::require(text::isValidUtf8(statement), "a statement split a character");
  fuzz::require(!statement.empty() && statement.back() == ';', "a statement does not end with ;");
  fuzz::require(statement.front() != ' ', "a statement begins with a blank");
  bool drops = false;
  StatementKind kind = classifyStatement(statement, &drops);
  fuzz::require(!drops || kind == StatementKind::Drop, "a DROP TABLE that is no drop");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz::ProcessFolder folder;
  static const std::string path = folder.file("script.sql");
  fuzz::writeBytes(path, fuzz::bytesOf(data, size));

  paths::LineReader reader(path);
  fuzz::require(reader.isOpen(), "the script file could not be opened");
  std::string raw;
  bool inBody = false;
  StatementAssembler assembler;
  while (reader.next(raw)) {
    std::string line = prepareScriptLine(raw);
    fuzz::require(text::isValidUtf8(line) && line.find('\t') == std::string::npos, "prepareScriptLine");
    if (inBody) {
      if (auto statement = assembler.add(line)) checkStatement(*statement);
      continue;
    }
    if (isIgnoredScriptLine(line)) continue;
    Directive directive = readDirective(text::trimLeft(line));
    checkDirective(directive);
    inBody = directive.kind == DirectiveKind::TableName && !directive.value.empty();
  }
  fuzz::require(!reader.failed(), "reading the script file failed");
  return 0;
}
