// Checkpoints of a WAL database on a thread of their own.
#include "platform/sqlite/db_checkpointer.h"

#include "platform/sqlite/sqlite_calls.h"

#include <algorithm>

namespace tavrix::db {

WalCheckpointer::WalCheckpointer(Connection& writer, Limits limits) : writer_(writer), limits_(limits) {
  sqlite3* db = sqliteHandle(writer);
  if (!db) {
    finished_ = true;
    return;
  }
  sqlite3* raw = nullptr;
  int rc = sqlite3_open_v2(writer.location().filePath().c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  auto second = std::make_unique<SqliteDatabase>(raw);
  if (rc == SQLITE_OK) rc = sqlite3_exec(raw, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
  failed_ = rc != SQLITE_OK;
  // The hook replaces the writer's automatic checkpoint.
  sqlite3_wal_hook(db, &WalCheckpointer::onCommit, this);
  if (!failed_) thread_ = std::thread([this, own = std::move(second)] { run(own->raw()); });
}

int WalCheckpointer::onCommit(void* self, sqlite3* db, const char*, int pages) {
  return static_cast<WalCheckpointer*>(self)->committed(db, pages);
}

// Runs on the writer's thread after each commit: wakes the thread, or once the log is long waits
// for the thread's copy to end (if one runs) and copies the rest itself, so that its next
// transaction starts the log over.
int WalCheckpointer::committed(sqlite3* db, int pages) {
  std::unique_lock lock(mutex_);
  if (pages < logPages_) copiedPages_ = 0;  // the log started over
  logPages_ = pages;
  // A copy running when the log reaches restartPages is not waited for until the log has grown by
  // another passivePages: the writer copies the rest itself once the thread's copy has ended.
  const bool restart = pages >= limits_.restartPages &&
                       (!copying_ || pages >= limits_.restartPages + limits_.passivePages);
  if (!restart) {
    // Near the restart the thread copies in shorter steps, so that little is left for the writer.
    const int step = pages >= limits_.restartPages / 4 * 3 ? std::max(1, limits_.passivePages / 4) : limits_.passivePages;
    if (!failed_ && !copying_ && pages - copiedPages_ >= step) {
      due_ = true;
      wake_.notify_all();
    }
    return SQLITE_OK;
  }
  wake_.wait(lock, [this] { return !copying_; });
  copying_ = true;
  lock.unlock();
  int log = 0, done = 0;
  const int rc = sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_PASSIVE, &log, &done);
  lock.lock();
  copying_ = false;
  if (rc == SQLITE_OK) {
    ++writerCopies_;
    copiedPages_ = done;
  }
  wake_.notify_all();
  return SQLITE_OK;  // a copy that failed leaves the log as it was; the commit stands
}

// Waits for work, copies, and copies once more when asked to stop. A failed copy ends the thread.
void WalCheckpointer::run(sqlite3* db) {
  std::unique_lock lock(mutex_);
  while (true) {
    wake_.wait(lock, [this] { return (due_ || stopping_) && !copying_; });
    const bool last = stopping_;
    due_ = false;
    copying_ = true;
    lock.unlock();
    const bool copied = copy(db);
    lock.lock();
    copying_ = false;
    wake_.notify_all();
    if (!copied) failed_ = true;
    if (!copied || last) return;
  }
}

// One copy that never waits for the writer; true unless it failed (busy is no failure).
bool WalCheckpointer::copy(sqlite3* db) {
  int log = 0, done = 0;
  const int rc = sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_PASSIVE, &log, &done);
  if (rc == SQLITE_BUSY) return true;  // another connection is copying
  if (rc != SQLITE_OK) return false;
  std::lock_guard lock(mutex_);
  ++threadCopies_;
  copiedPages_ = std::min(done, logPages_);  // when the log started over since, a later copy catches up
  return true;
}

void WalCheckpointer::finish() {
  if (finished_) return;
  finished_ = true;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
  if (sqlite3* db = sqliteHandle(writer_)) sqlite3_wal_autocheckpoint(db, Connection::kAutoCheckpointPages);
}

int WalCheckpointer::threadCheckpoints() const {
  std::lock_guard lock(mutex_);
  return threadCopies_;
}

int WalCheckpointer::writerCheckpoints() const {
  std::lock_guard lock(mutex_);
  return writerCopies_;
}

bool WalCheckpointer::failed() const {
  std::lock_guard lock(mutex_);
  return failed_;
}

std::unique_ptr<ManyWrites> SqliteDatabase::startManyWrites(Connection& connection) {
  return std::make_unique<WalCheckpointer>(connection);
}

}  // namespace tavrix::db
