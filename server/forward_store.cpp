#include "server/forward_store.h"

#include <sqlite3.h>

namespace server {
namespace {

class Statement {
 public:
  Statement(sqlite3* db, const char* sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) {
      throw StoreError(sqlite3_errmsg(db));
    }
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& Bind(int index, const std::string& text) {
    Check(sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                            SQLITE_TRANSIENT));
    return *this;
  }
  Statement& Bind(int index, std::int64_t value) {
    Check(sqlite3_bind_int64(stmt_, index, value));
    return *this;
  }
  // True while there is a row to read.
  bool Step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    throw StoreError(sqlite3_errmsg(db_));
  }
  std::string Text(int column) {
    const unsigned char* text = sqlite3_column_text(stmt_, column);
    return text ? std::string(reinterpret_cast<const char*>(text),
                              static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
                : std::string();
  }
  std::int64_t Integer(int column) { return sqlite3_column_int64(stmt_, column); }

 private:
  void Check(int rc) {
    if (rc != SQLITE_OK) throw StoreError(sqlite3_errmsg(db_));
  }
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS forwards (
  seq INTEGER PRIMARY KEY AUTOINCREMENT,
  id TEXT NOT NULL UNIQUE,
  product_id TEXT NOT NULL,
  sender TEXT NOT NULL,
  message TEXT NOT NULL,
  created_at INTEGER NOT NULL,
  kept_until INTEGER NOT NULL,
  deleted INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX IF NOT EXISTS forwards_by_product ON forwards(product_id, created_at);
CREATE INDEX IF NOT EXISTS forwards_by_retention ON forwards(deleted, kept_until);
CREATE TABLE IF NOT EXISTS recipients (
  forward_id TEXT NOT NULL REFERENCES forwards(id),
  position INTEGER NOT NULL,
  name TEXT NOT NULL,
  mail TEXT NOT NULL,
  PRIMARY KEY (forward_id, position)
);
CREATE TABLE IF NOT EXISTS files (
  forward_id TEXT NOT NULL REFERENCES forwards(id),
  position INTEGER NOT NULL,
  source_name TEXT NOT NULL,
  source_size INTEGER NOT NULL,
  work_name TEXT NOT NULL,
  work_size INTEGER NOT NULL,
  offered_name TEXT NOT NULL,
  PRIMARY KEY (forward_id, position)
);
)sql";

}  // namespace

ForwardStore::ForwardStore(const std::filesystem::path& databasePath) {
  if (sqlite3_open(databasePath.c_str(), &db_) != SQLITE_OK) {
    std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    throw StoreError(message);
  }
  sqlite3_busy_timeout(db_, 5000);
  Execute("PRAGMA journal_mode=WAL");
  Execute(kSchema);
}

ForwardStore::~ForwardStore() { sqlite3_close(db_); }

void ForwardStore::Execute(const char* sql) {
  char* error = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
    std::string message = error ? error : "sqlite error";
    sqlite3_free(error);
    throw StoreError(message);
  }
}

// The mutex is locked and unlocked by the recording thread itself: a lock object shared
// between threads would have its state written by one thread while another takes the mutex.
void ForwardStore::Begin() {
  mutex_.lock();
  try {
    Execute("BEGIN IMMEDIATE");
  } catch (...) {
    mutex_.unlock();
    throw;
  }
}

void ForwardStore::Commit() {
  Execute("COMMIT");
  mutex_.unlock();
}

void ForwardStore::Rollback() {
  char* error = nullptr;
  sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, &error);
  sqlite3_free(error);
  mutex_.unlock();
}

void ForwardStore::Insert(const ForwardRecord& forward) {
  Statement(db_,
            "INSERT INTO forwards (id, product_id, sender, message, created_at, kept_until, "
            "deleted) VALUES (?, ?, ?, ?, ?, ?, 0)")
      .Bind(1, forward.id)
      .Bind(2, forward.productId)
      .Bind(3, forward.sender)
      .Bind(4, forward.message)
      .Bind(5, forward.createdAt)
      .Bind(6, forward.keptUntil)
      .Step();
  for (std::size_t i = 0; i < forward.recipients.size(); ++i) {
    Statement(db_, "INSERT INTO recipients VALUES (?, ?, ?, ?)")
        .Bind(1, forward.id)
        .Bind(2, static_cast<std::int64_t>(i))
        .Bind(3, forward.recipients[i].name)
        .Bind(4, forward.recipients[i].mail)
        .Step();
  }
  for (std::size_t i = 0; i < forward.files.size(); ++i) {
    const StoredFile& file = forward.files[i];
    Statement(db_, "INSERT INTO files VALUES (?, ?, ?, ?, ?, ?, ?)")
        .Bind(1, forward.id)
        .Bind(2, static_cast<std::int64_t>(i))
        .Bind(3, file.sourceName)
        .Bind(4, file.sourceSize)
        .Bind(5, file.workName)
        .Bind(6, file.workSize)
        .Bind(7, file.offeredName)
        .Step();
  }
}

std::vector<ForwardRecord> ForwardStore::Query(const char* whereClause,
                                               const std::string& argument) {
  std::lock_guard lock(mutex_);
  std::vector<ForwardRecord> forwards;
  std::string sql =
      "SELECT id, product_id, sender, message, created_at, kept_until, deleted FROM forwards "
      "WHERE ";
  sql += whereClause;
  sql += " ORDER BY created_at, seq";
  Statement select(db_, sql.c_str());
  select.Bind(1, argument);
  while (select.Step()) {
    ForwardRecord forward;
    forward.id = select.Text(0);
    forward.productId = select.Text(1);
    forward.sender = select.Text(2);
    forward.message = select.Text(3);
    forward.createdAt = select.Integer(4);
    forward.keptUntil = select.Integer(5);
    forward.deleted = select.Integer(6) != 0;
    forwards.push_back(std::move(forward));
  }
  for (ForwardRecord& forward : forwards) {
    Statement recipients(
        db_, "SELECT name, mail FROM recipients WHERE forward_id = ? ORDER BY position");
    recipients.Bind(1, forward.id);
    while (recipients.Step()) {
      forward.recipients.push_back({recipients.Text(0), recipients.Text(1)});
    }
    Statement files(db_,
                    "SELECT source_name, source_size, work_name, work_size, offered_name "
                    "FROM files WHERE forward_id = ? ORDER BY position");
    files.Bind(1, forward.id);
    while (files.Step()) {
      forward.files.push_back(
          {files.Text(0), files.Integer(1), files.Text(2), files.Integer(3), files.Text(4)});
    }
  }
  return forwards;
}

std::vector<ForwardRecord> ForwardStore::ForwardsOf(const std::string& productId) {
  return Query("product_id = ?", productId);
}

std::optional<ForwardRecord> ForwardStore::Find(const std::string& id) {
  std::vector<ForwardRecord> found = Query("id = ?", id);
  if (found.empty()) return std::nullopt;
  return std::move(found.front());
}

std::vector<std::string> ForwardStore::ExpireKeptUntilBefore(std::int64_t now) {
  std::lock_guard lock(mutex_);
  std::vector<std::string> ids;
  Statement select(db_, "SELECT id FROM forwards WHERE deleted = 0 AND kept_until < ?");
  select.Bind(1, now);
  while (select.Step()) ids.push_back(select.Text(0));
  Statement update(db_, "UPDATE forwards SET deleted = 1 WHERE deleted = 0 AND kept_until < ?");
  update.Bind(1, now);
  update.Step();
  return ids;
}

}  // namespace server
