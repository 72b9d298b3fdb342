// Parsing tavrix-report's arguments into Options; every mistake gives one sentence.
#include "app/report_options.h"

#include <algorithm>
#include <charconv>
#include <span>
#include <string_view>

#include "queries/text_match.h"

namespace tavrix::report {

namespace {

bool parseWhole(std::string_view text, int& value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

class Arguments {
 public:
  explicit Arguments(const std::vector<std::string>& args) : args_(args) {}
  bool done() const { return i_ >= args_.size(); }
  const std::string& peek() const { return args_[i_]; }
  const std::string& take() { return args_[i_++]; }
  // The value after an option; "" with problem set when it is missing.
  bool value(const std::string& option, std::string& out, std::string& problem) {
    if (done()) {
      problem = option + " needs a value";
      return false;
    }
    out = take();
    return true;
  }

 private:
  const std::vector<std::string>& args_;
  std::size_t i_ = 0;
};

// An option and what its value (or "" for an option without one) does to the options: a problem, or "".
struct OptionRule {
  std::string_view name;
  bool takesValue;
  std::string (*apply)(Options& o, const std::string& option, const std::string& value);
};

// Takes options by their rules until the arguments end (with onlyDashed: until one does not start
// with "--"); any other argument gives unknown and its text.
std::string takeOptions(Arguments& a, Options& o, std::span<const OptionRule> rules, bool onlyDashed,
                        const std::string& unknown) {
  std::string problem, value;
  while (!a.done() && (!onlyDashed || a.peek().starts_with("--"))) {
    const std::string option = a.take();
    const auto rule = std::ranges::find(rules, std::string_view(option), &OptionRule::name);
    if (rule == rules.end()) return unknown + "\"" + option + "\"";
    value.clear();
    if (rule->takesValue && !a.value(option, value, problem)) return problem;
    if (problem = rule->apply(o, option, value); !problem.empty()) return problem;
  }
  return "";
}

constexpr OptionRule kCommonOptions[] = {
    {"--help", false, [](Options& o, const std::string&, const std::string&) { return o.help = true, std::string(); }},
    {"--db", true, [](Options& o, const std::string&, const std::string& value) {
       o.database = value;
       return std::string(value.empty() ? "--db needs a database file or a connection string" : "");
     }},
    {"--save", true, [](Options& o, const std::string&, const std::string& value) {
       o.saveFolder = value;
       return std::string(value.empty() ? "--save needs a folder" : "");
     }},
    {"--format", true, [](Options& o, const std::string&, const std::string& value) {
       auto format = queries::parseOutputFormat(value);
       if (!format) return "--format must be tsv, csv or json, not \"" + value + "\"";
       o.format = *format;
       o.formatGiven = true;
       return std::string();
     }},
};

std::string takeOlderThan(Options& o, const std::string&, const std::string& value) {
  int days = 0;
  if (!parseWhole(value, days) || days < 0) return "--older-than needs a number of days, not \"" + value + "\"";
  o.olderThanDays = days;
  return "";
}

std::string takeLowDisk(Options& o, const std::string&, const std::string& value) {
  int percent = 0;
  if (!parseWhole(value, percent) || percent < 0 || percent > 100)
    return "--low-disk needs a percent from 0 to 100, not \"" + value + "\"";
  o.lowDiskPercent = percent;
  return "";
}

constexpr OptionRule kListOptions[] = {
    {"--filter", true, [](Options& o, const std::string&, const std::string& value) { return o.text = value, std::string(); }},
    {"--older-than", true, takeOlderThan},
    {"--low-disk", true, takeLowDisk},
};

// The overview's thresholds, named as the list's options that list the computers behind its cards.
constexpr OptionRule kOverviewOptions[] = {
    {"--older-than", true, takeOlderThan},
    {"--low-disk", true, takeLowDisk},
};

// One question per run: the program, the update or the missing update asked about.
std::string askComputers(Options& o, const std::string& option, const std::string& value) {
  if (o.text) return "computers takes one of --software, --without-software, --update, --missing-update";
  o.computersBy = option == "--software"           ? ComputersBy::Software
                  : option == "--without-software" ? ComputersBy::WithoutSoftware
                  : option == "--update"           ? ComputersBy::Update
                                                   : ComputersBy::MissingUpdate;
  o.text = value;
  return "";
}

constexpr OptionRule kComputersOptions[] = {
    {"--version", true, [](Options& o, const std::string&, const std::string& value) { return o.version = value, std::string(); }},
    {"--software", true, askComputers},
    {"--without-software", true, askComputers},
    {"--update", true, askComputers},
    {"--missing-update", true, askComputers},
};

std::string parseComputers(Arguments& a, Options& o) {
  if (std::string problem = takeOptions(a, o, kComputersOptions, false, "computers: unknown argument "); !problem.empty())
    return problem;
  if (!o.text) return "computers needs --software TEXT, --without-software TEXT, --update NAME or --missing-update NAME";
  if (o.version && o.computersBy != ComputersBy::Software && o.computersBy != ComputersBy::WithoutSoftware)
    return "--version goes with --software or --without-software only";
  return "";
}

// The optional TEXT of software and updates.
std::string parseText(Arguments& a, Options& o, const std::string& command) {
  if (!a.done()) o.text = a.take();
  if (!a.done()) return command + " takes one text, not \"" + a.peek() + "\" as well";
  return "";
}

// search [--exact] [--section NAME] TEXT, the options before or after the text.
std::string parseSearch(Arguments& a, Options& o) {
  std::string problem;
  while (!a.done()) {
    const std::string argument = a.take();
    if (argument == "--exact") {
      o.exact = true;
    } else if (argument == "--section") {
      if (!a.value(argument, o.section, problem)) return problem;
      if (o.section.empty()) return "--section needs a section name";
    } else if (o.text) {
      return "search takes one text, not \"" + argument + "\" as well";
    } else {
      o.text = argument;
    }
  }
  if (!o.text || o.text->empty()) return "search needs a text to look for";
  return "";
}

std::string parseTree(Arguments& a, Options& o) {
  if (a.done()) return "tree needs one RNO";
  const std::string rno = a.take();
  if (!a.done()) return "tree needs one RNO";
  if (!parseWhole(rno, o.rno)) return "RNO must be a whole number, not \"" + rno + "\"";
  if (o.formatGiven) return "tree writes the tree as text; --format does not apply";
  return "";
}

// history PCID; diff PCID [FROM [TO]].
std::string parseComputerHistory(Arguments& a, Options& o, const std::string& command, std::size_t most) {
  std::vector<std::string> values;
  while (!a.done()) values.push_back(a.take());
  if (values.empty() || values.size() > most)
    return command + (most == 1 ? " needs one PCID" : " needs a PCID and at most two inventories (FROM, TO)");
  if (values[0].empty()) return command + " needs a PCID that is not empty";
  o.pcId = values[0];
  if (values.size() > 1) o.from = values[1];
  if (values.size() > 2) o.to = values[2];
  return "";
}

std::string parseChanges(Arguments& a, Options& o) {
  std::string problem;
  if (a.done() || a.peek() != "--since") return "changes needs --since yyyy/mm/dd";
  const std::string option = a.take();
  if (!a.value(option, o.since, problem)) return problem;
  if (!a.done()) return "changes: unknown argument \"" + a.peek() + "\"";
  return "";
}

std::string parseDigest(Arguments& a, Options& o) {
  std::string problem;
  while (!a.done()) {
    const std::string option = a.take();
    if (option == "--mail") o.mail = true;
    else if (option != "--since") return "digest: unknown argument \"" + option + "\"";
    else if (!a.value(option, o.since, problem)) return problem;
  }
  return "";
}

}  // namespace

bool readsSaveFolder(Command command) {
  return command == Command::History || command == Command::Diff || command == Command::Changes;
}

namespace {

std::string parseCommand(Arguments& a, Options& o) {
  if (a.done()) return "no command given";
  const std::string command = a.take();
  if (command == "list") return o.command = Command::List, takeOptions(a, o, kListOptions, false, "list: unknown argument ");
  if (command == "tree") return o.command = Command::Tree, parseTree(a, o);
  if (command == "software") return o.command = Command::Software, parseText(a, o, command);
  if (command == "updates") return o.command = Command::Updates, parseText(a, o, command);
  if (command == "search") return o.command = Command::Search, parseSearch(a, o);
  if (command == "overview") return o.command = Command::Overview, takeOptions(a, o, kOverviewOptions, false, "overview: unknown argument ");
  if (command == "computers") return o.command = Command::Computers, parseComputers(a, o);
  if (command == "history") return o.command = Command::History, parseComputerHistory(a, o, command, 1);
  if (command == "diff") return o.command = Command::Diff, parseComputerHistory(a, o, command, 3);
  if (command == "changes") return o.command = Command::Changes, parseChanges(a, o);
  if (command == "digest") return o.command = Command::Digest, parseDigest(a, o);
  return "unknown command \"" + command + "\"";
}

}  // namespace

std::string parseOptions(const std::vector<std::string>& args, Options& o) {
  Arguments a(args);
  if (std::string problem = takeOptions(a, o, kCommonOptions, true, "unknown option "); !problem.empty() || o.help)
    return problem;
  std::string problem = parseCommand(a, o);
  if (problem.empty() && o.text && !queries::fitsContainsPattern(*o.text))
    problem = "the text to look for is too long: " + std::to_string(o.text->size()) +
              " bytes, more than a search pattern of " + std::to_string(queries::kLongestLikePattern) + " bytes holds";
  return problem;
}

const char* usageText() {
  return "usage: tavrix-report [--db DATABASE] [--save DIR] [--format tsv|csv|json] COMMAND\n"
         "       tavrix-report --help\n"
         "commands:\n"
         "  list [--filter TEXT] [--older-than DAYS]   the computer list\n"
         "       [--low-disk PERCENT]                 (a fixed drive with less free space than that)\n"
         "  tree RNO                                   one computer's detail tree\n"
         "  software [TEXT]                            programs and versions, with their computers\n"
         "  updates [TEXT]                             updates, with their computers\n"
         "  computers --software TEXT [--version V]    computers with a program\n"
         "  computers --without-software TEXT [--version V]\n"
         "                                             the other computers\n"
         "  computers --update NAME                    computers with an update\n"
         "  computers --missing-update NAME            computers without an update\n"
         "  search [--exact] [--section NAME] TEXT     every field that contains the text (--exact: that is\n"
         "                                             the text); NAME: a section of the tree or its table\n"
         "  overview [--low-disk PERCENT] [--older-than DAYS]\n"
         "                                             the fleet at a glance: card, item, value, computers\n"
         "                                             (default 10 % free and 30 days)\n"
         "  history PCID                               a computer's kept inventories, newest first\n"
         "  diff PCID [FROM [TO]]                      the changes between two of them (number or date;\n"
         "                                             default the two newest)\n"
         "  changes --since yyyy/mm/dd                 every computer's changes since that day\n"
         "  digest [--since yyyy/mm/dd] [--mail]       what the watch rules found: the last batch's, or\n"
         "                                             every batch's since that day (PCid, rule, item, old, new);\n"
         "                                             --mail sends it to MAIL_TO through sendmail instead\n"
         "--db DATABASE: the database file, or a PostgreSQL server's connection string\n"
         "  (postgresql://HOST/NAME or host=HOST dbname=NAME; no password: libpq's ~/.pgpass gives it);\n"
         "  default DB_SERVER, else MDB_DIR and MDB_NAME of Tavrix.ini\n"
         "--save DIR: the save folder of the kept inventories (default CSV_SAVE_DIR of Tavrix.ini)\n";
}

}  // namespace tavrix::report
