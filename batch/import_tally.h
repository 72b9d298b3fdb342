// What the import tells the kept fleet counts, file by file: the program and update rows it deletes
// (the computer's earlier snapshot) and adds (its new one), and whether the file committed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace tavrix {

namespace db {
class Connection;
}

enum class TallyKind : std::size_t { Software, Updates };
constexpr std::size_t kTallyKinds = 2;

class ImportTally {
 public:
  using Texts = std::span<const std::optional<std::string_view>>;  // a group's columns, nullopt for NULL

  virtual ~ImportTally() = default;
  // A new file: what the previous one noted is dropped unless it committed.
  virtual void startFile() = 0;
  // A row of the snapshot rno, deleted (the computer's earlier one) or added (its new one).
  virtual void removed(TallyKind kind, Texts texts, std::int64_t rno) = 0;
  // The rows the import deletes next, up to markOwnDeletions(false), are its own: not counted as
  // changes made outside it. Within the file's transaction; throws db::DbError.
  virtual void markOwnDeletions(db::Connection& connection, bool on) = 0;
  virtual void added(TallyKind kind, Texts texts, std::int64_t rno) = 0;
  // The file committed: what it noted is counted.
  virtual void commitFile() = 0;
};

}  // namespace tavrix
