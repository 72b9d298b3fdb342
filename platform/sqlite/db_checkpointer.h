// Checkpoints of a WAL database on a thread of their own, so that the connection writing it does
// not wait while its log is copied into the database file and synced.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/db.h"

struct sqlite3;

namespace tavrix::db {

class WalCheckpointer final : public ManyWrites {
 public:
  struct Limits {
    int passivePages = 4000;   // log pages written since the last copy that wake the thread
    int restartPages = 20000;  // log pages past which the writer copies the rest itself, so the log starts over
  };

  // Takes over the checkpoints of writer (open, in WAL mode): a second connection to its file
  // copies the log on a thread of its own whenever the writer's commits have added
  // limits.passivePages to it (a quarter of that in the last quarter before restartPages), never
  // waiting for the writer. Once the log holds limits.restartPages, the writer's next commit that
  // finds no copy running copies what is left itself (a short copy), and the log starts again from
  // its beginning; past restartPages + passivePages it waits for a running copy to end. When the
  // second connection cannot be opened or a copy fails, the writer checkpoints at restartPages alone.
  WalCheckpointer(Connection& writer, Limits limits);
  explicit WalCheckpointer(Connection& writer) : WalCheckpointer(writer, Limits{}) {}
  ~WalCheckpointer() override { finish(); }
  WalCheckpointer(const WalCheckpointer&) = delete;
  WalCheckpointer& operator=(const WalCheckpointer&) = delete;

  // Copies the whole log once more, stops the thread and gives the writer its automatic
  // checkpoint back. Call it with no transaction open on the writer; later calls do nothing.
  void finish() override;
  // Copies the thread has made, and copies the writer made itself.
  int threadCheckpoints() const;
  int writerCheckpoints() const;
  // The thread has stopped after a failure (the writer checkpoints alone).
  bool failed() const;

 private:
  static int onCommit(void* self, sqlite3* db, const char* name, int pages);
  int committed(sqlite3* db, int pages);
  void run(sqlite3* db);
  bool copy(sqlite3* db);

  Connection& writer_;
  Limits limits_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool due_ = false;          // the log grew by a step: the thread has work
  bool stopping_ = false;
  bool copying_ = false;      // the thread or the writer is copying now
  bool failed_ = false;
  bool finished_ = false;
  int logPages_ = 0;          // pages in the log after the last commit
  int copiedPages_ = 0;       // of those, copied into the database file by the last copy
  int threadCopies_ = 0, writerCopies_ = 0;
  std::thread thread_;
};

}  // namespace tavrix::db
