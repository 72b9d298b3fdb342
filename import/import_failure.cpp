// A database step of the current inventory failed: its snapshot must not commit.
#include "import/import_failure.h"

#include <new>

#include "platform/db.h"

namespace tavrix {

void noteImportFailure(RunState& s, const std::exception& e) {
  std::string cause = e.what();
  if (cause.empty()) cause = "unknown failure";
  if (s.FileFailure.empty()) s.FileFailure = cause;
  auto* dbError = dynamic_cast<const db::DbError*>(&e);
  bool unusable = dbError ? dbError->databaseUnusable() : dynamic_cast<const std::bad_alloc*>(&e) != nullptr;
  if (unusable && s.DatabaseFailure.empty()) s.DatabaseFailure = cause;
}

}  // namespace tavrix
