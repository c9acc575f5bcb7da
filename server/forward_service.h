// The data folder of the server: the database, the stored files of each forward, the outbox
// of mails, and the staging area of uploads in progress.
//
//   DATA/forwards.db          the forwards (SQLite)
//   DATA/files/ID/N           the N-th file of forward ID (from 0)
//   DATA/outbox/ID-N.txt      the mail to the N-th recipient of forward ID
//   DATA/staging/...          uploads being received
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "server/forward_store.h"
#include "server/server_clock.h"
#include "server/upload_check.h"

namespace server {

inline constexpr std::int64_t kRetentionSeconds = 5 * 86400;

// Answer codes the application reads.
inline constexpr std::string_view kAnswerSuccess = "1";
inline constexpr std::string_view kAnswerSaveFailed = "-1";
inline constexpr std::string_view kAnswerDatabaseFailed = "-2";
inline constexpr std::string_view kAnswerMailFailed = "-3";
inline constexpr std::string_view kAnswerDataIncorrect = "-4";

// A failure a test asks for, at the step where it would really happen.
enum class InjectedFailure { kNone, kSaveFiles, kDatabase, kMail };

class ForwardService {
 public:
  ForwardService(std::filesystem::path dataDir, ServerClock& clock);

  std::filesystem::path NewStagingDir();

  // Checks and records one received upload; returns the answer code. `baseUrl` (scheme, host,
  // port) is what the mails link to. Nothing stays behind after a failure.
  std::string Record(const ReceivedUpload& upload, const std::string& baseUrl,
                     InjectedFailure injected);

  // Deletes the files of forwards past their retention.
  void Expire();

  std::vector<ForwardRecord> ForwardsOf(const std::string& productId);
  std::optional<ForwardRecord> Find(const std::string& id);
  std::filesystem::path StoredFilePath(const std::string& id, std::size_t position) const;

 private:
  // A stop between storing a forward's files and committing its row leaves files and mails
  // that no forward owns, a stop during expiry the files of a deleted forward; only names of
  // the server's own making are looked at.
  void RemoveUnowned();
  // Appends each mail to `written` before writing it, so that a failure can take them back.
  void WriteMails(const ForwardRecord& forward, const std::string& descriptorUrl,
                  std::vector<std::filesystem::path>& written);

  std::filesystem::path dataDir_;
  ServerClock& clock_;
  ForwardStore store_;
  std::atomic<std::uint64_t> stagingCounter_{0};
};

}  // namespace server
