// tavrix-report on a fleet imported by the real batch: each command's whole output in each format, the
// tree and its clashes, the database found beside the program, and the command-line mistakes.
#include <gtest/gtest.h>

#include "platform/text.h"
#include "tests/queries/fleet_fixture.h"

namespace tavrix::test {
namespace {

const std::string kBom = "\xEF\xBB\xBF";

TEST_P(FleetOnEachEngine, EachCommandWritesItsWholeAnswer) {
  struct Case {
    const char* name;
    std::string args, out;
  };
  const std::string beta = "Beta\tabe\tWindows 2000\t" + yesterdayHeaderDate().substr(0, 16) + "\tpc02\t2\n";
  const std::string alpha = "alpha\t山田\tWindows XP\t2004/10/24 09:05\tPC01\t1\n";
  const std::string tab = "tab here\t\tOS\t1900/01/01 00:00\tq\"t,x y\t3\n", nulls = "\t \t \t\tPC00\t4\n";
  const std::vector<Case> cases = {
      {"software: one row per name and version, computers counted once; case folded", "software",
       "Media Player\t\t1\nOFFICE 2003\t11.0\t2\nOffice 2003\t11.5\t1\nTab App \"Q\"\t1.0\t1\nViewer\t\t1\nViewer\t\t1\n"
       "秀丸エディタ\t7.10\t1\n"},
      {"software TEXT", "software 'office'", "OFFICE 2003\t11.0\t2\nOffice 2003\t11.5\t1\n"},
      {"software, a LIKE wildcard is plain text", "software '_'", ""},
      {"software csv", "--format csv software 'a'",
       kBom + "Appl,Version,Computers\r\nMedia Player,,1\r\n\"Tab\tApp \"\"Q\"\"\",1.0,1\r\n"},
      {"software json: NULL is null, counts are numbers", "--format json software e",
       "[\n{\"Appl\":\"Media Player\",\"Version\":\"\",\"Computers\":1},\n"
       "{\"Appl\":\"OFFICE 2003\",\"Version\":\"11.0\",\"Computers\":2},\n"
       "{\"Appl\":\"Office 2003\",\"Version\":\"11.5\",\"Computers\":1},\n"
       "{\"Appl\":\"Viewer\",\"Version\":null,\"Computers\":1},\n"
       "{\"Appl\":\"Viewer\",\"Version\":\"\",\"Computers\":1}\n]\n"},
      {"updates: a computer listing one twice counts once", "updates", "KB100\t1\nKB200\t2\n"},
      {"updates TEXT json", "--format json updates 1", "[\n{\"WinUpdName\":\"KB100\",\"Computers\":1}\n]\n"},
      {"updates none", "--format json updates zzz", "[]\n"},
      {"computers with a program, by name", "computers --software OFFICE", alpha + beta},
      {"computers with a program and version", "computers --software office --version 11.5", alpha},
      {"computers without a program, by name: every other computer", "computers --without-software OFFICE", nulls + tab},
      {"computers without a program and version", "computers --without-software office --version 11.5", nulls + beta + tab},
      {"computers with an update", "computers --update kb200", alpha + beta},
      {"computers without an update, those without any included", "computers --missing-update KB200", nulls + tab},
      {"computers csv", "--format csv computers --missing-update KB100",
       kBom + "ComputerName,UserName,OSVersion,CreateDate,PCid,RNO\r\n, , ,,PC00,4\r\nBeta,abe,Windows 2000," +
           yesterdayHeaderDate().substr(0, 16) + ",pc02,2\r\ntab\there,,OS,1900/01/01 00:00,\"q\"\"t,x\ny\",3\r\n"},
      {"search: each matching field, names with TAB and newline on one line, the section last", "search TAB",
       "tab here\tq\"t,x y\t3\tT_ApplInst\tAppl\tTab App \"Q\"\t現在インストールされているプログラム\n"
       "tab here\tq\"t,x y\t3\tT_BasicInf\tComputerName\ttab here\t基本情報\n"},
      {"search --exact: the whole value only, case ignored", "search --exact 'TAB\there'",
       "tab here\tq\"t,x y\t3\tT_BasicInf\tComputerName\ttab here\t基本情報\n"},
      {"search --exact: a part is not enough", "search --exact 'Tab App'", ""},
      {"search --section by the tree's name, after the text", "search TAB --section 現在インストールされているプログラム",
       "tab here\tq\"t,x y\t3\tT_ApplInst\tAppl\tTab App \"Q\"\t現在インストールされているプログラム\n"},
      {"search --section by the table's name, case ignored", "search --section t_basicinf --exact 'tab\there'",
       "tab here\tq\"t,x y\t3\tT_BasicInf\tComputerName\ttab here\t基本情報\n"},
      {"search csv", "--format csv search TAB",
       kBom + "ComputerName,PCid,RNO,Table,Field,Value,Section\r\ntab\there,\"q\"\"t,x\ny\",3,T_ApplInst,Appl,"
              "\"Tab\tApp \"\"Q\"\"\",現在インストールされているプログラム\r\n"
              "tab\there,\"q\"\"t,x\ny\",3,T_BasicInf,ComputerName,tab\there,基本情報\r\n"},
      {"search json", "--format json search 本社",
       "[\n{\"ComputerName\":\"alpha\",\"PCid\":\"PC01\",\"RNO\":1,\"Table\":\"T_Printer\",\"Field\":\"PrinterName\","
       "\"Value\":\"㈱本社 複合機①\",\"Section\":\"プリンタ一覧\"}\n]\n"},
      {"search json, control characters escaped", "--format json search 'x\ny'",
       "[\n{\"ComputerName\":\"tab\\there\",\"PCid\":\"q\\\"t,x\\ny\",\"RNO\":3,\"Table\":\"T_BasicInf\","
       "\"Field\":\"PCid\",\"Value\":\"q\\\"t,x\\ny\",\"Section\":\"基本情報\"}\n]\n"},
      {"list", "list", alpha + beta + tab + nulls},
      {"list --filter: any shown text, case ignored", "list --filter ALPHA", alpha},
      {"list --filter: the shown date, 1900 not taken for the zero date", "list --filter 1900/01", tab},
      {"list --older-than: the stale computers, the zero date among them", "list --older-than 30", alpha + tab + nulls},
      {"list both", "list --older-than 30 --filter windows", alpha},
      {"list csv", "--format csv list --filter alpha",
       kBom + "ComputerName,UserName,OSVersion,CreateDate,PCid,RNO\r\nalpha,山田,Windows XP,2004/10/24 09:05,PC01,1\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ProgramRun run = report(c.args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, c.out);
  }
}

TEST_P(FleetOnEachEngine, TreeKeepsOneNodePerLineNamesClashesAndMistakesGiveUsage) {
  const ProgramRun tree = report("tree 3");
  EXPECT_EQ(tree.status, 0);
  EXPECT_EQ(tree.out.substr(0, tree.out.find('\n')).find("q\"t,x y"), 0u) << tree.out;
  EXPECT_EQ(tree.out.find('\t'), std::string::npos);
  EXPECT_NE(tree.out.find("tab here"), std::string::npos);
  const ProgramRun clash = report("tree 2");  // the tree is written, the clash named on standard error
  EXPECT_EQ(clash.status, 0);
  EXPECT_NE(clash.out.find("\nドライブ:\n  C:  HDD\nＮＩＣカード:\n"), std::string::npos) << clash.out;
  EXPECT_EQ(clash.err, "TAVRIX: Key is not unique in the tree: \"C\"\n");

  struct Case {
    const char* name;
    std::string args;
    int status;
    std::string err;  // the first line of standard error
  };
  const std::vector<Case> cases = {
      {"unknown command", "inventory", 2, "tavrix-report: unknown command \"inventory\""},
      {"unknown option", "--verbose list", 2, "tavrix-report: unknown option \"--verbose\""},
      {"unknown format", "--format xml list", 2, "tavrix-report: --format must be tsv, csv or json, not \"xml\""},
      {"format missing", "list --format", 2, "tavrix-report: list: unknown argument \"--format\""},
      {"list option", "list --older-than x", 2, "tavrix-report: --older-than needs a number of days, not \"x\""},
      {"a percent past 100", "list --low-disk 101", 2, "tavrix-report: --low-disk needs a percent from 0 to 100, not \"101\""},
      {"overview takes its thresholds only", "overview os", 2, "tavrix-report: overview: unknown argument \"os\""},
      {"overview's days", "overview --older-than -1", 2, "tavrix-report: --older-than needs a number of days, not \"-1\""},
      {"computers without a question", "computers", 2,
       "tavrix-report: computers needs --software TEXT, --without-software TEXT, --update NAME or --missing-update NAME"},
      {"two questions", "computers --update a --software b", 2,
       "tavrix-report: computers takes one of --software, --without-software, --update, --missing-update"},
      {"version without software", "computers --update a --version 1", 2,
       "tavrix-report: --version goes with --software or --without-software only"},
      {"empty search", "search ''", 2, "tavrix-report: search needs a text to look for"},
      {"search with options and no text", "search --exact", 2, "tavrix-report: search needs a text to look for"},
      {"search's section missing", "search x --section", 2, "tavrix-report: --section needs a value"},
      {"search's two texts", "search a --exact b", 2, "tavrix-report: search takes one text, not \"b\" as well"},
      {"search text past the pattern limit", "search " + std::string(49999, 'x'), 2,
       "tavrix-report: the text to look for is too long: 49999 bytes, more than a search pattern of 50000 bytes holds"},
      {"software text with escapes past the limit", "software " + std::string(25000, '%'), 2,
       "tavrix-report: the text to look for is too long: 25000 bytes, more than a search pattern of 50000 bytes holds"},
      {"two texts", "software a b", 2, "tavrix-report: software takes one text, not \"b\" as well"},
      {"tree in csv", "--format csv tree 1", 2, "tavrix-report: tree writes the tree as text; --format does not apply"},
      {"RNO not a number", "tree 1x", 2, "tavrix-report: RNO must be a whole number, not \"1x\""},
      {"unknown RNO", "tree 99", 1, "tavrix-report: no computer with RNO 99 in " + database().shown()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ProgramRun run = report(c.args);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.substr(0, run.err.find('\n')), c.err);
    if (c.status == 2) {
      EXPECT_NE(run.err.find("usage: tavrix-report"), std::string::npos);
    }
  }
  // The overview's thresholds are the list's options: the days count the stale computers alike.
  const ProgramRun overview = report("overview --low-disk 50 --older-than 7");
  EXPECT_EQ(overview.status, 0) << overview.err;
  EXPECT_NE(overview.out.find("low_disk\t50%\t"), std::string::npos) << overview.out;
  const std::size_t stale = text::split(report("list --older-than 7").out, '\n').size() - 1;
  EXPECT_NE(overview.out.find("not_seen\t7\t" + std::to_string(stale) + "\t"), std::string::npos) << overview.out;
  // A section there is not is named with the sections there are.
  const ProgramRun noSection = report("search --section ＮＩＣ x");
  EXPECT_EQ(noSection.status, 1);
  EXPECT_EQ(noSection.err.find("tavrix-report: search --section: no section \"ＮＩＣ\" (the sections: 基本情報, デバイス, Windows Update, "), 0u)
      << noSection.err;
  // A text whose pattern just fits is looked for (SQLite refuses one byte more).
  const ProgramRun longest = report("search " + std::string(49998, 'x'));
  EXPECT_EQ(longest.status, 0) << longest.err;
  EXPECT_EQ(longest.err, "");
  // Without --db the database is found through Tavrix.ini beside the program.
  const ProgramRun besideIni = runReportBesideIni(dir, "list");
  EXPECT_EQ(besideIni.status, 0) << besideIni.err;
  EXPECT_EQ(besideIni.out, report("list").out);
  const std::string ini = readFile(dir.file("Tavrix.ini"));
  writeFile(dir.file("Tavrix.ini"), "[Tavrix Section]\r\nMDB_DIR=" + dir.path() + "\r\nMDB_NAME= \r\n");
  EXPECT_EQ(runReportBesideIni(dir, "list").err,
            "tavrix-report: Tavrix.ini names no database (MDB_NAME is empty): " + dir.file("Tavrix.ini") + "\n");
  writeFile(dir.file("Tavrix.ini"), ini);
  const ProgramRun help = runReport(dir, "--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.substr(0, 21), "usage: tavrix-report ");
  EXPECT_EQ(help.err, "");
}

// Computers answer by name, then file name, each ignoring ASCII case and then by bytes, a missing
// name first; the same on both engines.
TEST_P(FleetOnEachEngine, ComputersComeByNameThenFileNameCaseIgnoredThenBytes) {
  {
    db::Connection c;
    c.open(database());
    c.execute("INSERT INTO T_BasicInf (PCid, ComputerName) VALUES ('pc03', 'alpha')");
    c.execute("INSERT INTO T_BasicInf (PCid, ComputerName) VALUES ('PC05', 'ALPHA')");
    c.execute("INSERT INTO T_BasicInf (PCid, ComputerName) VALUES ('PC03', 'alpha')");
  }
  const ProgramRun run = report("computers --missing-update NONE");
  ASSERT_EQ(run.status, 0) << run.err;
  std::string order;
  for (const std::string& line : text::split(run.out, '\n')) {
    const std::vector<std::string> fields = text::split(line, '\t');
    if (fields.size() > 4) order += fields[0] + "/" + fields[4] + " ";
  }
  EXPECT_EQ(order, "/PC00 ALPHA/PC05 alpha/PC01 alpha/PC03 alpha/pc03 Beta/pc02 tab here/q\"t,x y ");
}

INSTANTIATE_TEST_SUITE_P(FileAndServer, FleetOnEachEngine, ::testing::Bool(), engineName);

// --db takes a server's connection string too: one with a password is a usage mistake that quotes
// none of it, a server that does not answer fails as a missing file does, named by host, port and
// database only.
TEST(ReportServerDatabase, APasswordIsRefusedAndAServerDownFailsLikeAMissingFile) {
  TempDir dir;
  const std::string secret = "s3cret-Pw", nobody = dir.path();
  const struct {
    const char* name;
    std::string db;
    int status;
    std::string err;  // the first line of standard error
  } cases[] = {
      {"a password in a URI", "postgresql://tavrix:" + secret + "@dbhost/inventory", 2,
       "tavrix-report: the connection string carries a password: put it in libpq's password file (~/.pgpass or PGPASSFILE)"},
      {"a password as a key", "host=dbhost password=" + secret, 2,
       "tavrix-report: the connection string carries a password: put it in libpq's password file (~/.pgpass or PGPASSFILE)"},
      {"unreadable", "host=dbhost dbname='x", 2, "tavrix-report: the connection string cannot be read"},
      {"no server", "postgresql:///inventory?host=" + nobody + "&port=5999", 1,
       "tavrix-report: cannot read database " + nobody + ":5999/inventory: cannot reach the server: "},
      {"a file not there", nobody + "/Tavrix.mdb", 1, "tavrix-report: database not found: " + nobody + "/Tavrix.mdb"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ProgramRun run = runReport(dir, "--db \"" + c.db + "\" list");
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.substr(0, std::min(run.err.find('\n'), c.err.size())), c.err);
    EXPECT_EQ(run.err.find(secret), std::string::npos);
  }
}

}  // namespace
}  // namespace tavrix::test
