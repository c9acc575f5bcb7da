// Measures the socket layer against plain blocking sockets in the same process and run:
// bulk SendAll throughput to a loopback reader, and the round trip of one request line and its
// reply line. Prints the figures; the verdicts compare them with the goals we hold the layer to.
#include <windows.h>
#include <winsock2.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "base/testing/bench_clock_win.h"
#include "control/engine/socket/socket_connection_win.h"
#include "control/engine/socket/socket_layer_win.h"
#include "control/engine/socket/testing/loopback_peer_win.h"

namespace {

constexpr long long kBulkBytes = 500LL * 1000 * 1000;
constexpr int kBlock = 8000;  // what the HTTP engine hands to SendAll per file block
constexpr int kRoundTrips = 1000;
constexpr int kBulkRounds = 5;

SOCKET ConnectBlocking(int port) {
  const SOCKET plain = socket(AF_INET, SOCK_STREAM, 0);
  SetSendBufferSize(plain);
  SetReceiveBufferSize(plain);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  connect(plain, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  return plain;
}

// Sends kBulkBytes with send; returns MB/s as the reader counted them.
template <typename Sender>
double BulkThroughput(Sender sendEverything) {
  std::atomic<long long> received = 0;
  double finished = 0;
  double started = 0;
  {
    LoopbackPeer reader([&](SOCKET socket) {
      received = ReceiveUntilClosed(socket);
      finished = bench_clock::WallSeconds();
    });
    started = bench_clock::WallSeconds();
    sendEverything(reader.Port());
  }
  if (received != kBulkBytes) {
    std::printf("  reader got %lld of %lld bytes\n", received.load(), kBulkBytes);
    return 0;
  }
  return static_cast<double>(kBulkBytes) / 1e6 / (finished - started);
}

double LayerBulk() {
  return BulkThroughput([](int port) {
    const std::string block(kBlock, 'd');
    SocketConnection connection;
    if (connection.Connect("127.0.0.1", port, 30).Failed()) return;
    for (long long sent = 0; sent < kBulkBytes; sent += kBlock) {
      if (connection.SendAll(block.data(), kBlock).Failed()) return;
    }
    connection.Close();
  });
}

double PlainBulk() {
  return BulkThroughput([](int port) {
    const std::string block(kBlock, 'd');
    const SOCKET plain = ConnectBlocking(port);
    for (long long sent = 0; sent < kBulkBytes; sent += kBlock) {
      if (!SendBytes(plain, block)) break;
    }
    shutdown(plain, SD_SEND);
    closesocket(plain);
  });
}

// Answers every line with "OK " and the line, as a server answers a command.
void EchoLines(SOCKET socket) {
  std::string pending;
  char chunk[4096];
  for (int n; (n = recv(socket, chunk, sizeof chunk, 0)) > 0;) {
    pending.append(chunk, static_cast<size_t>(n));
    for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
      SendBytes(socket, "OK " + pending.substr(0, end + 1));
      pending.erase(0, end + 1);
    }
  }
}

double Median(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

double MedianMs(std::vector<double> samples) { return Median(std::move(samples)) * 1000; }

double LayerRoundTrip() {
  LoopbackPeer echo(EchoLines);
  SocketConnection connection;
  if (connection.Connect("127.0.0.1", echo.Port(), 10).Failed()) return -1;
  std::vector<double> samples;
  std::string line;
  const std::string request = "NOOP\r\n";
  for (int i = 0; i < kRoundTrips; ++i) {
    const double start = bench_clock::WallSeconds();
    if (connection.SendAll(request.data(), static_cast<int>(request.size())).Failed() ||
        connection.ReadLine(line, 4096).Failed()) {
      return -1;
    }
    samples.push_back(bench_clock::WallSeconds() - start);
  }
  connection.Close();
  return MedianMs(samples);
}

double PlainRoundTrip() {
  LoopbackPeer echo(EchoLines);
  const SOCKET plain = ConnectBlocking(echo.Port());
  std::vector<double> samples;
  char chunk[256];
  for (int i = 0; i < kRoundTrips; ++i) {
    const double start = bench_clock::WallSeconds();
    SendBytes(plain, "NOOP\r\n");
    std::string reply;
    while (reply.find('\n') == std::string::npos) {
      const int n = recv(plain, chunk, sizeof chunk, 0);
      if (n <= 0) return -1;
      reply.append(chunk, static_cast<size_t>(n));
    }
    samples.push_back(bench_clock::WallSeconds() - start);
  }
  shutdown(plain, SD_SEND);
  closesocket(plain);
  return MedianMs(samples);
}

}  // namespace

int main() {
  // The plain sockets measured beside the layer's need WinSock too.
  HoldSocketLayer();
  StartSocketLayer();
  std::printf("bulk send of %lld MB in %d-byte blocks to a loopback reader\n", kBulkBytes / 1000000,
              kBlock);
  // Alternating rounds compared by their medians, so that a busy moment of a shared machine
  // falls on both senders alike and does not decide the comparison.
  std::vector<double> plainRounds, layerRounds;
  for (int round = 1; round <= kBulkRounds; ++round) {
    plainRounds.push_back(PlainBulk());
    layerRounds.push_back(LayerBulk());
    std::printf("  round %d: plain %.1f MB/s, SendAll %.1f MB/s\n", round, plainRounds.back(),
                layerRounds.back());
  }
  const double plain = Median(plainRounds);
  const double layer = Median(layerRounds);
  std::printf("median of %d rounds\n", kBulkRounds);
  std::printf("  plain blocking send       %8.1f MB/s\n", plain);
  std::printf("  SocketConnection SendAll  %8.1f MB/s  (%.2f of plain, goal >= 0.80)\n", layer,
              plain > 0 ? layer / plain : 0);
  const double plainBest = *std::max_element(plainRounds.begin(), plainRounds.end());
  const double layerBest = *std::max_element(layerRounds.begin(), layerRounds.end());
  std::printf("best round\n");
  std::printf("  plain blocking send       %8.1f MB/s\n", plainBest);
  std::printf("  SocketConnection SendAll  %8.1f MB/s  (%.2f of plain)\n", layerBest,
              plainBest > 0 ? layerBest / plainBest : 0);

  std::printf("one-line round trip, median of %d\n", kRoundTrips);
  const double plainTrip = PlainRoundTrip();
  const double layerTrip = LayerRoundTrip();
  std::printf("  plain blocking send+recv        %7.3f ms\n", plainTrip);
  std::printf("  SocketConnection SendAll+ReadLine %5.3f ms  (goal < 2 ms)\n", layerTrip);
  ReleaseSocketLayer();
  return layer > 0 && layerTrip > 0 ? 0 : 1;
}
