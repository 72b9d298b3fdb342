// The state of one detail-tree load, shared by the section builders, and the section steps.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/db.h"
#include "platform/message_sink.h"
#include "views/detail/detail_tree.h"

namespace tavrix::detail {

// One load: the tree being built, the basic record and the running number. Every step that can
// fail reports through messages and returns a harmless result, so the load always goes on.
class DetailLoad {
 public:
  DetailLoad(db::Connection& connection, MessageSink& messages, int rno);

  db::Connection& connection;
  MessageSink& messages;
  DetailTree tree;
  std::string rno;  // CurrentRno as decimal digits, for the query texts
  int running = 0;  // numbers the network cards and the group and user keys

  void fail(const std::string& description);
  // Adds a node; a key clash or a missing parent is reported and the line left out.
  void add(std::string_view parentKey, std::string_view key, std::string text);
  // nullptr after a reported failure.
  std::unique_ptr<db::ReadOnlyRecordSet> open(const std::string& sql);
  // NULL after a reported failure.
  db::Value field(db::ReadOnlyRecordSet& rs, std::string_view name);
  // False at the end, or after a reported failure.
  bool moveNext(db::ReadOnlyRecordSet& rs);

  void openBasic();
  db::Value basic(std::string_view name);  // a field of the basic record; NULL when there is none
  void closeBasic() { basic_.reset(); }

 private:
  std::unique_ptr<db::ReadOnlyRecordSet> basic_;
};

// The current row of a record set, read by field name.
class Row {
 public:
  Row(DetailLoad& d, db::ReadOnlyRecordSet& rs) : d_(d), rs_(rs) {}
  db::Value operator[](std::string_view name) const { return d_.field(rs_, name); }
  std::string text(std::string_view name) const { return (*this)[name].text(); }

 private:
  DetailLoad& d_;
  db::ReadOnlyRecordSet& rs_;
};

// Calls eachRow for every row of an open record set, in order.
void forEachRow(DetailLoad& d, db::ReadOnlyRecordSet& rs, const std::function<void(const Row&)>& eachRow);

// The usual section: when sql returns rows, adds the top-level node (key, its text made from the
// first row) and calls eachRow for every row.
void runSection(DetailLoad& d, const std::string& sql, std::string_view key,
                const std::function<std::string(const Row&)>& topText,
                const std::function<void(const Row&)>& eachRow);

// The steps of the load, in tree order.
void addBasicLines(DetailLoad& d);
void addDeviceSection(DetailLoad& d);
void addAntiVirusSection(DetailLoad& d);
void addDirectorySection(DetailLoad& d);
void addUpdateSections(DetailLoad& d);
void addDriveSection(DetailLoad& d);
void addDisplaySection(DetailLoad& d);
void addPrinterSection(DetailLoad& d);
void addNetworkSection(DetailLoad& d);
void addNicSection(DetailLoad& d);
void addUserTrees(DetailLoad& d);
void addInstalledPrograms(DetailLoad& d);
void addStartUpSection(DetailLoad& d);
void addServiceSection(DetailLoad& d);

// The operating-system test on OSVersionID: its digits left-aligned to 5, first three characters
// compared as text with "200".
bool passesOsTest(const db::Value& osVersionId);

}  // namespace tavrix::detail
