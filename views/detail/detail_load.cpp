// The load sequence of the detail tree and the failure-tolerant steps every section uses.
#include "views/detail/detail_load.h"

#include <optional>

#include "batch/database.h"
#include "views/detail/detail_sections.h"

namespace tavrix {
namespace detail {

DetailLoad::DetailLoad(db::Connection& connection, MessageSink& messages, int rno)
    : connection(connection), messages(messages), rno(std::to_string(rno)) {}

void DetailLoad::fail(const std::string& description) { messages.show(description, MessageStyle::Plain); }

void DetailLoad::add(std::string_view parentKey, std::string_view key, std::string text) {
  std::string error;
  if (!tree.add(parentKey, key, std::move(text), &error)) fail(error);
}

std::unique_ptr<db::ReadOnlyRecordSet> DetailLoad::open(const std::string& sql) {
  // "Cant DB Open " has already said it once; a box per section would only repeat it.
  if (!connection.isOpen()) return nullptr;
  try {
    return std::make_unique<db::ReadOnlyRecordSet>(connection, sql);
  } catch (const std::exception& e) {
    fail(e.what());
    return nullptr;
  }
}

db::Value DetailLoad::field(db::ReadOnlyRecordSet& rs, std::string_view name) {
  try {
    return rs.field(name);
  } catch (const std::exception& e) {
    fail(e.what());
    return {};
  }
}

bool DetailLoad::moveNext(db::ReadOnlyRecordSet& rs) {
  try {
    rs.moveNext();
    return !rs.eof();
  } catch (const std::exception& e) {
    fail(e.what());
    return false;
  }
}

void DetailLoad::openBasic() {
  basic_ = open("SELECT * FROM T_BasicInf where RNO=" + rno);
  if (basic_ && basic_->eof()) {
    fail("No T_BasicInf row for RNO=" + rno);
    basic_.reset();
  }
}

db::Value DetailLoad::basic(std::string_view name) { return basic_ ? field(*basic_, name) : db::Value(); }

void forEachRow(DetailLoad& d, db::ReadOnlyRecordSet& rs, const std::function<void(const Row&)>& eachRow) {
  if (rs.eof()) return;
  do {
    eachRow(Row(d, rs));
  } while (d.moveNext(rs));
}

void runSection(DetailLoad& d, const std::string& sql, std::string_view key,
                const std::function<std::string(const Row&)>& topText,
                const std::function<void(const Row&)>& eachRow) {
  auto rs = d.open(sql);
  if (!rs || rs->eof()) return;
  d.add("", key, topText(Row(d, *rs)));
  forEachRow(d, *rs, eachRow);
}

}  // namespace detail

DetailTree loadDetailTree(RunState& s, std::string* pcId) {
  if (F_OPEN_DB(s)) s.Messages.show("Cant DB Open ", MessageStyle::Plain);

  detail::DetailLoad d(s.DbConnection, s.Messages, s.CurrentRno);
  std::optional<db::ReadTransaction> oneState;  // every section from one state of the database
  if (s.DbConnection.isOpen()) oneState.emplace(s.DbConnection);
  d.openBasic();
  if (pcId) *pcId = d.basic("PCid").text();
  detail::addBasicLines(d);
  detail::addDeviceSection(d);
  detail::addAntiVirusSection(d);
  detail::addDirectorySection(d);
  detail::addUpdateSections(d);
  detail::addDriveSection(d);
  detail::addDisplaySection(d);
  detail::addPrinterSection(d);
  detail::addNetworkSection(d);
  detail::addNicSection(d);
  detail::addUserTrees(d);
  detail::addInstalledPrograms(d);
  detail::addStartUpSection(d);
  detail::addServiceSection(d);
  d.closeBasic();
  oneState.reset();

  // The load always leaves the shared connection closed; the next user opens it again.
  if (s.DbOpen) closeDbConnection(s);
  return std::move(d.tree);
}

std::string txtRnoText(const CurrentFile& s) { return std::to_string(s.CurrentRno); }

}  // namespace tavrix
