// The HTTP face of the server: routes, test switches and the request log, on cpp-httplib.
#pragma once

#include <httplib.h>

#include <memory>
#include <optional>
#include <string>

#include "server/forward_service.h"
#include "server/server_clock.h"
#include "server/server_options.h"
#include "server/test_switches.h"

namespace server {

class HttpServer {
 public:
  HttpServer(const ServerOptions& options, ForwardService& service, ServerClock& clock);

  // Throws when the TLS certificate or key cannot be used.
  // The bound port, or -1.
  int Bind();
  // Serves until Stop; false when the server could not run.
  bool Run();
  void Stop();

 private:
  void AddRoutes();
  void AddTestRoutes();
  void AddFramingCheckAndLog();
  void Upload(const httplib::Request& req, httplib::Response& res,
              const httplib::ContentReader& reader);
  void SavedSize(const httplib::Request& req, httplib::Response& res);
  void History(const httplib::Request& req, httplib::Response& res);
  // The forward the path names while its files are kept; otherwise nothing, after a 404.
  std::optional<ForwardRecord> KeptForward(const httplib::Request& req, httplib::Response& res);
  void Descriptor(const httplib::Request& req, httplib::Response& res);
  void Download(const httplib::Request& req, httplib::Response& res);

  const ServerOptions& options_;
  ForwardService& service_;
  ServerClock& clock_;
  TestSwitches switches_;
  // An httplib::SSLServer when the options name a certificate.
  std::unique_ptr<httplib::Server> http_;
};

}  // namespace server
