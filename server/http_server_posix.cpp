#include "server/http_server_posix.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <thread>

#include "base/ansi.h"
#include "base/text.h"
#include "server/forward_id.h"
#include "server/offered_names.h"
#include "server/replies.h"
#include "server/request_framing.h"

namespace server {
namespace {

using httplib::Request;
using httplib::Response;

constexpr const char* kText = "text/plain";
constexpr const char* kOctets = "application/octet-stream";

void Refuse(Response& res, int status, const std::string& why) {
  res.status = status;
  res.set_content(why + "\n", kText);
}

std::string FormValue(const Request& req, const std::string& key) {
  if (req.has_param(key)) return req.get_param_value(key);
  // The query clients may post "productid=..." without a form content type.
  httplib::Params params;
  httplib::detail::parse_query_text(req.body, params);
  auto found = params.find(key);
  return found == params.end() ? std::string() : found->second;
}

int IntValue(const Request& req, const std::string& key, int fallback) {
  std::string text = FormValue(req, key);
  try {
    return text.empty() ? fallback : std::stoi(text);
  } catch (const std::exception&) {
    return fallback;
  }
}

// The client's Host header is written into mails and descriptors; one that is no host is not.
std::string BaseUrl(const Request& req, const ServerOptions& options) {
  if (!options.publicUrl.empty()) return options.publicUrl;
  std::string host = req.get_header_value("Host");
  if (!IsUrlHost(host)) {
    const bool v6 = req.local_addr.find(':') != std::string::npos;
    host =
        (v6 ? "[" + req.local_addr + "]" : req.local_addr) + ":" + std::to_string(req.local_port);
  }
  return (options.tlsCert.empty() ? "http://" : "https://") + host;
}

std::unique_ptr<httplib::Server> MakeServer(const ServerOptions& options) {
  if (options.tlsCert.empty()) return std::make_unique<httplib::Server>();
  auto server =
      std::make_unique<httplib::SSLServer>(options.tlsCert.c_str(), options.tlsKey.c_str());
  if (!server->is_valid()) {
    throw std::runtime_error("cannot serve TLS with " + options.tlsCert + " and " + options.tlsKey);
  }
  return server;
}

// The application's texts travel in code page 932, as in the parameter data file.
std::string ProductIdOf(const Request& req) {
  return base::ToUtf8(base::FromAnsi(FormValue(req, "productid")));
}

std::vector<std::string> HeaderValues(const Request& req, const char* key) {
  std::vector<std::string> values;
  for (std::size_t i = 0; i < req.get_header_value_count(key); ++i) {
    values.push_back(req.get_header_value(key, i));
  }
  return values;
}

InjectedFailure InjectionFor(const std::string& answer) {
  if (answer == kAnswerSaveFailed) return InjectedFailure::kSaveFiles;
  if (answer == kAnswerDatabaseFailed) return InjectedFailure::kDatabase;
  if (answer == kAnswerMailFailed) return InjectedFailure::kMail;
  return InjectedFailure::kNone;
}

// The time a request took is measured from routing (the headers are in) to the log line.
thread_local std::chrono::steady_clock::time_point requestStart;

}  // namespace

HttpServer::HttpServer(const ServerOptions& options, ForwardService& service, ServerClock& clock)
    : options_(options), service_(service), clock_(clock), http_(MakeServer(options)) {
  http_->set_payload_max_length(options.maxUploadBytes);
  http_->set_read_timeout(30);
  // One request per connection: what follows a refused request's head is the body it was not
  // allowed to send, never a next request. The control and the query clients close anyway.
  http_->set_keep_alive_max_count(1);
  AddRoutes();
  if (options.testSwitches) AddTestRoutes();
  AddFramingCheckAndLog();
}

int HttpServer::Bind() {
  if (options_.port == 0) return http_->bind_to_any_port(options_.host);
  return http_->bind_to_port(options_.host, options_.port) ? options_.port : -1;
}

bool HttpServer::Run() { return http_->listen_after_bind(); }

void HttpServer::Stop() { http_->stop(); }

void HttpServer::AddRoutes() {
  http_->Post("/upload",
              [this](const Request& req, Response& res, const httplib::ContentReader& reader) {
                Upload(req, res, reader);
              });
  http_->Get("/upload", [](const Request&, Response& res) {
    Refuse(res, 405, "uploads are posted");
    res.set_header("Allow", "POST");
  });
  http_->Post("/savesize", [this](const Request& req, Response& res) { SavedSize(req, res); });
  http_->Get("/savesize", [this](const Request& req, Response& res) { SavedSize(req, res); });
  http_->Post("/history", [this](const Request& req, Response& res) { History(req, res); });
  http_->Get("/history", [this](const Request& req, Response& res) { History(req, res); });
  const std::string id = std::string("(") + kForwardIdPattern + ")";
  http_->Get("/ofts/" + id + R"(\.ofts)",
             [this](const Request& req, Response& res) { Descriptor(req, res); });
  http_->Get("/files/" + id + "/(.+)",
             [this](const Request& req, Response& res) { Download(req, res); });
}

void HttpServer::AddTestRoutes() {
  http_->Post("/test/answer", [this](const Request& req, Response& res) {
    switches_.ForceAnswer(FormValue(req, "text"), IntValue(req, "count", 1));
    res.set_content("ok\n", kText);
  });
  http_->Post("/test/delay", [this](const Request& req, Response& res) {
    switches_.SetDelayMilliseconds(IntValue(req, "ms", 0));
    res.set_content("ok\n", kText);
  });
  http_->Post("/test/drop", [this](const Request& req, Response& res) {
    switches_.DropAfterHeaders(IntValue(req, "count", 1));
    res.set_content("ok\n", kText);
  });
  http_->Post("/test/clock", [this](const Request& req, Response& res) {
    clock_.SetOffsetDays(IntValue(req, "offset_days", 0));
    std::string pinned = FormValue(req, "pinned");
    clock_.Pin(pinned.empty() ? 0 : std::stoll(pinned));
    res.set_content(std::to_string(clock_.Now()) + "\n", kText);
  });
  http_->Post("/test/reset", [this](const Request&, Response& res) {
    switches_.Reset();
    clock_.SetOffsetDays(options_.clockOffsetDays);
    clock_.Pin(0);
    res.set_content("ok\n", kText);
  });
}

void HttpServer::AddFramingCheckAndLog() {
  http_->set_pre_routing_handler([this](const Request& req, Response& res) {
    requestStart = std::chrono::steady_clock::now();
    // The library reads a body after this handler, and a chunked one without any bound.
    const std::optional<FramingRefusal> refusal = CheckFraming(
        req.method, HeaderValues(req, "Content-Length"), HeaderValues(req, "Transfer-Encoding"),
        req.path == "/upload" ? options_.maxUploadBytes : kMaxFormBytes);
    if (refusal) {
      Refuse(res, refusal->status, std::string(refusal->reason));
      return httplib::Server::HandlerResponse::Handled;
    }
    // The delay comes before the body is read: a client that gives up meanwhile leaves an upload
    // the server never completes, as a slow line would.
    const int delay = switches_.delayMilliseconds();
    if (delay > 0 && !req.path.starts_with("/test/")) {
      std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    }
    return httplib::Server::HandlerResponse::Unhandled;
  });
  http_->set_logger([](const Request& req, const Response& res) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - requestStart)
                        .count();
    const std::string length = req.get_header_value("Content-Length");
    const std::size_t sent = res.content_length_ > 0 ? res.content_length_ : res.body.size();
    std::printf("%s %s %d in=%s out=%zu %lldms\n", req.method.c_str(), req.path.c_str(), res.status,
                length.empty() ? "0" : length.c_str(), sent, static_cast<long long>(ms));
    std::fflush(stdout);
  });
}

void HttpServer::Upload(const Request& req, Response& res, const httplib::ContentReader& reader) {
  const std::string boundary = BoundaryOf(req.get_header_value("Content-Type"));
  if (!req.is_multipart_form_data() || boundary.empty()) {
    Refuse(res, 400, "multipart/form-data with a boundary expected");
    return;
  }
  UploadReceiver receiver(service_.NewStagingDir(), boundary);
  const bool complete =
      reader(
          [&](const httplib::MultipartFormData& part) {
            return receiver.BeginPart(part.name, part.filename, part.content_type);
          },
          [&](const char* data, std::size_t length) { return receiver.Append(data, length); }) &&
      receiver.Finish();
  if (!complete) {
    switch (receiver.failure()) {
      case UploadReceiver::Failure::kNotSaved:
        res.set_content(std::string(kAnswerSaveFailed), kText);
        return;
      case UploadReceiver::Failure::kTooLarge:
        Refuse(res, 413, receiver.failureText());
        return;
      default:
        Refuse(res, 400, "the multipart body is incomplete or malformed");
        return;
    }
  }
  if (switches_.TakeDrop()) {
    // Headers go out, then the provider fails and the connection is closed mid-answer.
    res.set_content_provider(1, kText,
                             [](std::size_t, std::size_t, httplib::DataSink&) { return false; });
    return;
  }
  std::optional<std::string> forced = switches_.TakeForcedAnswer();
  InjectedFailure injected = forced ? InjectionFor(*forced) : InjectedFailure::kNone;
  if (forced && injected == InjectedFailure::kNone) {
    res.set_content(*forced, kText);
    return;
  }
  res.set_content(service_.Record(receiver.upload(), BaseUrl(req, options_), injected), kText);
}

void HttpServer::SavedSize(const Request& req, Response& res) {
  service_.Expire();
  const std::string productId = ProductIdOf(req);
  res.set_content(productId.empty() ? "-1" : SavedSizeReply(service_.ForwardsOf(productId)), kText);
}

void HttpServer::History(const Request& req, Response& res) {
  service_.Expire();
  const std::string productId = ProductIdOf(req);
  res.set_content(productId.empty() ? "" : HistoryReply(service_.ForwardsOf(productId)),
                  "text/plain; charset=Shift_JIS");
}

std::optional<ForwardRecord> HttpServer::KeptForward(const Request& req, Response& res) {
  service_.Expire();
  std::optional<ForwardRecord> forward = service_.Find(req.matches[1]);
  if (!forward || forward->deleted) {
    Refuse(res, 404, "no such forward");
    return std::nullopt;
  }
  return forward;
}

void HttpServer::Descriptor(const Request& req, Response& res) {
  const std::optional<ForwardRecord> forward = KeptForward(req, res);
  if (!forward) return;
  res.set_content(DescriptorText(BaseUrl(req, options_), *forward), kOctets);
}

void HttpServer::Download(const Request& req, Response& res) {
  const std::optional<ForwardRecord> forward = KeptForward(req, res);
  if (!forward) return;
  // The name arrives percent-encoded as UTF-8; a client that sends the descriptor's code page
  // 932 bytes as they are is served as well.
  const std::string name = req.matches[2];
  const std::string fromAnsi = base::ToUtf8(base::FromAnsi(name));
  std::optional<std::size_t> position;
  for (std::size_t i = 0; i < forward->files.size() && !position; ++i) {
    if (forward->files[i].offeredName == name || forward->files[i].offeredName == fromAnsi) {
      position = i;
    }
  }
  if (!position) {
    Refuse(res, 404, "no such file");
    return;
  }
  const std::filesystem::path path = service_.StoredFilePath(forward->id, *position);
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  auto file = std::make_shared<std::ifstream>(path, std::ios::binary);
  if (error || !*file) {
    Refuse(res, 404, "the file is gone");
    return;
  }
  res.set_content_provider(
      static_cast<std::size_t>(size), kOctets,
      [file](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
        char block[64 * 1024];
        file->seekg(static_cast<std::streamoff>(offset));
        file->read(block, static_cast<std::streamsize>(std::min(length, sizeof block)));
        const std::streamsize got = file->gcount();
        return got > 0 && sink.write(block, static_cast<std::size_t>(got));
      });
}

}  // namespace server
