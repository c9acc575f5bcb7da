// The forwards and their files, kept in SQLite beside the stored files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "server/forward_record.h"

struct sqlite3;

namespace server {

class StoreError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class ForwardStore {
 public:
  explicit ForwardStore(const std::filesystem::path& databasePath);
  ~ForwardStore();
  ForwardStore(const ForwardStore&) = delete;
  ForwardStore& operator=(const ForwardStore&) = delete;

  // Records a forward inside an open transaction; Commit or Rollback ends it. The store is
  // locked from Begin to the end, so one forward is recorded at a time. Commit and Rollback
  // are only for the thread whose Begin succeeded; after a Commit that threw, Rollback ends
  // the transaction.
  void Begin();
  void Insert(const ForwardRecord& forward);
  void Commit();
  void Rollback();

  // Oldest first.
  std::vector<ForwardRecord> ForwardsOf(const std::string& productId);
  std::optional<ForwardRecord> Find(const std::string& id);

  // Marks kept forwards whose retention ended before `now` as deleted and returns their ids.
  std::vector<std::string> ExpireKeptUntilBefore(std::int64_t now);

 private:
  void Execute(const char* sql);
  std::vector<ForwardRecord> Query(const char* whereClause, const std::string& argument);

  sqlite3* db_ = nullptr;
  std::recursive_mutex mutex_;
};

}  // namespace server
