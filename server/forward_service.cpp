#include "server/forward_service.h"

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <system_error>

#include "server/forward_id.h"
#include "server/replies.h"

namespace server {
namespace {

namespace fs = std::filesystem;

// The parameter data file is one line of names and sizes; 500 files fit in far less.
constexpr std::uintmax_t kMaxParaBytes = 4 << 20;

std::optional<std::string> ReadSmallFile(const fs::path& path) {
  std::error_code error;
  std::uintmax_t size = fs::file_size(path, error);
  if (error || size > kMaxParaBytes) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (!in && !in.eof()) return std::nullopt;
  return bytes.str();
}

ForwardRecord MakeRecord(const UploadPlan& plan, std::string id, std::int64_t now) {
  ForwardRecord forward;
  forward.id = std::move(id);
  forward.productId = plan.para.productId;
  forward.sender = plan.para.sender;
  forward.recipients = plan.para.recipients;
  forward.message = plan.para.message;
  forward.createdAt = now;
  forward.keptUntil = now + kRetentionSeconds;
  for (std::size_t i = 0; i < plan.para.works.size(); ++i) {
    const ListedFile& source = plan.para.sources[i];
    const ListedFile& work = plan.para.works[i];
    forward.files.push_back(
        {source.name, source.size, work.name, work.size, OfferedName(source.name)});
  }
  return forward;
}

std::string MailText(const ForwardRecord& forward, const Recipient& to,
                     const std::string& descriptorUrl) {
  std::string text;
  text += "To: " + to.name + " <" + to.mail + ">\n";
  text += "From: " + forward.sender + "\n";
  text += "Date: " + FormatForwardDate(forward.createdAt) + "\n";
  text += "Subject: Orvaneファイル転送 " + forward.sender + "\n\n";
  text += forward.message + "\n\n";
  text += descriptorUrl + "\n";
  return text;
}

fs::path DatabasePath(const fs::path& dataDir) {
  fs::create_directories(dataDir);
  return dataDir / "forwards.db";
}

// The answer codes tell the client only which step failed; the operator reads why.
void LogFailure(const char* step, const std::exception& e) {
  std::fprintf(stderr, "orvane-server: forward not recorded, %s: %s\n", step, e.what());
}

void RemoveQuietly(const fs::path& path) {
  std::error_code ignored;
  fs::remove_all(path, ignored);
}

}  // namespace

ForwardService::ForwardService(fs::path dataDir, ServerClock& clock)
    : dataDir_(std::move(dataDir)), clock_(clock), store_(DatabasePath(dataDir_)) {
  fs::create_directories(dataDir_ / "files");
  fs::create_directories(dataDir_ / "outbox");
  // Uploads cut off by a previous stop leave nothing that counts.
  RemoveQuietly(dataDir_ / "staging");
  fs::create_directories(dataDir_ / "staging");
  RemoveUnowned();
}

void ForwardService::RemoveUnowned() {
  const std::regex forwardId(kForwardIdPattern);
  const std::regex mailName(std::string("(") + kForwardIdPattern + ")-[0-9]+\\.txt");
  auto owner = [&](const std::string& id) { return store_.Find(id); };
  for (const fs::directory_entry& entry : fs::directory_iterator(dataDir_ / "files")) {
    const std::string name = entry.path().filename().string();
    if (!std::regex_match(name, forwardId)) continue;
    const std::optional<ForwardRecord> forward = owner(name);
    if (!forward || forward->deleted) RemoveQuietly(entry.path());
  }
  for (const fs::directory_entry& entry : fs::directory_iterator(dataDir_ / "outbox")) {
    const std::string name = entry.path().filename().string();
    std::smatch match;
    if (std::regex_match(name, match, mailName) && !owner(match[1])) RemoveQuietly(entry.path());
  }
}

fs::path ForwardService::NewStagingDir() {
  return dataDir_ / "staging" / (std::to_string(++stagingCounter_) + "-" + NewForwardId());
}

fs::path ForwardService::StoredFilePath(const std::string& id, std::size_t position) const {
  return dataDir_ / "files" / id / std::to_string(position);
}

void ForwardService::WriteMails(const ForwardRecord& forward, const std::string& descriptorUrl,
                                std::vector<fs::path>& written) {
  for (std::size_t i = 0; i < forward.recipients.size(); ++i) {
    const Recipient& to = forward.recipients[i];
    if (to.name.empty() && to.mail.empty()) continue;
    fs::path path = dataDir_ / "outbox" / (forward.id + "-" + std::to_string(i) + ".txt");
    written.push_back(path);
    std::ofstream out(path, std::ios::binary);
    out << MailText(forward, to, descriptorUrl);
    out.close();
    if (!out) throw std::runtime_error("mail not written");
  }
}

std::string ForwardService::Record(const ReceivedUpload& upload, const std::string& baseUrl,
                                   InjectedFailure injected) {
  std::optional<std::size_t> paraPart = FindParaPart(upload);
  std::optional<std::string> paraBytes =
      paraPart ? ReadSmallFile(upload.stagedFiles[*paraPart]) : std::nullopt;
  std::optional<UploadPlan> plan = paraBytes ? CheckUpload(upload, *paraBytes) : std::nullopt;
  if (!plan) return std::string(kAnswerDataIncorrect);

  ForwardRecord forward = MakeRecord(*plan, NewForwardId(), clock_.Now());
  const fs::path filesDir = dataDir_ / "files" / forward.id;
  std::vector<fs::path> mails;
  auto undo = [&](std::string_view answer) {
    store_.Rollback();
    RemoveQuietly(filesDir);
    for (const fs::path& mail : mails) RemoveQuietly(mail);
    return std::string(answer);
  };

  try {
    store_.Begin();
  } catch (const std::exception& e) {
    LogFailure("begin", e);
    return std::string(kAnswerDatabaseFailed);  // no transaction of ours to take back
  }
  try {
    store_.Insert(forward);
  } catch (const std::exception& e) {
    LogFailure("insert", e);
    return undo(kAnswerDatabaseFailed);
  }
  try {
    if (injected == InjectedFailure::kSaveFiles) throw std::runtime_error("injected");
    fs::create_directories(filesDir);
    for (std::size_t i = 0; i < plan->workParts.size(); ++i) {
      fs::rename(upload.stagedFiles[plan->workParts[i]], StoredFilePath(forward.id, i));
    }
  } catch (const std::exception& e) {
    LogFailure("store files", e);
    return undo(kAnswerSaveFailed);
  }
  try {
    if (injected == InjectedFailure::kMail) throw std::runtime_error("injected");
    WriteMails(forward, baseUrl + "/ofts/" + forward.id + ".ofts", mails);
  } catch (const std::exception& e) {
    LogFailure("write mails", e);
    return undo(kAnswerMailFailed);
  }
  try {
    if (injected == InjectedFailure::kDatabase) throw StoreError("injected");
    store_.Commit();
  } catch (const std::exception& e) {
    LogFailure("commit", e);
    return undo(kAnswerDatabaseFailed);
  }
  return std::string(kAnswerSuccess);
}

void ForwardService::Expire() {
  for (const std::string& id : store_.ExpireKeptUntilBefore(clock_.Now())) {
    RemoveQuietly(dataDir_ / "files" / id);
  }
}

std::vector<ForwardRecord> ForwardService::ForwardsOf(const std::string& productId) {
  return store_.ForwardsOf(productId);
}

std::optional<ForwardRecord> ForwardService::Find(const std::string& id) { return store_.Find(id); }

}  // namespace server
