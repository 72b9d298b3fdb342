// Answering a question from one state of a database that a batch may be writing.
#pragma once

#include <string>

#include "platform/db.h"

namespace tavrix::queries {

// Calls question(connection) on connection open for reading the database (opened here when it is not, or
// when the file it reads as unchanging has changed since), and leaves it open for the next
// question. A file read as unchanging (no writer had its log open) that a writer began to change
// meanwhile may have given a mixed answer: it is opened again and the question asked again, up to
// twice (by then the writer's log is shared).
template <typename Question>
auto readOneState(db::Connection& connection, const db::Location& database, Question question) {
  for (int attempt = 0;; ++attempt) {
    if (connection.isOpen() && connection.unchangingFileChanged()) connection.close();
    if (!connection.isOpen()) connection.openReadOnly(database);
    auto answer = question(connection);
    if (attempt < 2 && connection.unchangingFileChanged()) {
      connection.close();
      continue;
    }
    return answer;
  }
}

}  // namespace tavrix::queries
