// orvane-server: the reference file-transfer server of the tests and the demo.
#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <exception>
#include <thread>

#include "server/forward_service.h"
#include "server/http_server_posix.h"
#include "server/server_options.h"

namespace {

// SIGINT and SIGTERM are taken by sigwait in the main thread only: every thread started
// after this inherits the blocked mask.
sigset_t BlockStopSignals() {
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);
  return stopSignals;
}

}  // namespace

int main(int argc, char** argv) {
  auto parsed = server::ParseServerOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (auto* error = std::get_if<std::string>(&parsed)) {
    std::fprintf(stderr, "orvane-server: %s\n%s", error->c_str(), server::kUsage);
    return 2;
  }
  const server::ServerOptions options = std::get<server::ServerOptions>(parsed);
  const sigset_t stopSignals = BlockStopSignals();
  try {
    server::ServerClock clock(options.clockOffsetDays);
    server::ForwardService service(options.dataDir, clock);
    server::HttpServer http(options, service, clock);
    const int port = http.Bind();
    if (port < 0) {
      std::fprintf(stderr, "orvane-server: cannot listen on %s:%d\n", options.host.c_str(),
                   options.port);
      return 1;
    }
    std::printf("orvane-server listening on %s://%s:%d\n",
                options.tlsCert.empty() ? "http" : "https", options.host.c_str(), port);
    std::fflush(stdout);

    std::thread listener([&] {
      if (!http.Run()) kill(getpid(), SIGTERM);
    });
    int signal = 0;
    sigwait(&stopSignals, &signal);
    http.Stop();
    listener.join();
    std::printf("orvane-server stopped (signal %d)\n", signal);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "orvane-server: %s\n", e.what());
    return 1;
  }
}
