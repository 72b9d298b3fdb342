// Answering a question from one state of a database file that a batch may be writing.
#pragma once

#include <string>

#include "platform/db.h"

namespace tavrix::queries {

// Opens connection on path for reading, calls question(connection) and closes it again. A file read
// as unchanging (no writer had its log open) that a writer began to change meanwhile may have given
// a mixed answer: the question is asked again, up to twice (by then the writer's log is shared).
template <typename Question>
auto readOneState(db::Connection& connection, const std::string& path, Question question) {
  for (int attempt = 0;; ++attempt) {
    connection.openReadOnly(path);
    auto answer = question(connection);
    connection.close();
    if (attempt < 2 && connection.unchangingFileChanged()) continue;
    return answer;
  }
}

}  // namespace tavrix::queries
