#include "server/server_options.h"

#include <gtest/gtest.h>

namespace server {
namespace {

TEST(ServerOptionsTest, ReadsEveryOption) {
  auto parsed = ParseServerOptions(
      {"--listen", "127.0.0.1:8081", "--data", "/tmp/d", "--clock-offset-days", "-6",
       "--test-switches", "--max-upload-bytes", "1000", "--public-url", "https://files.example.com",
       "--tls-cert", "c.pem", "--tls-key", "k.pem"});
  ASSERT_TRUE(std::holds_alternative<ServerOptions>(parsed));
  const ServerOptions& options = std::get<ServerOptions>(parsed);
  EXPECT_EQ(options.host, "127.0.0.1");
  EXPECT_EQ(options.port, 8081);
  EXPECT_EQ(options.dataDir, "/tmp/d");
  EXPECT_EQ(options.clockOffsetDays, -6);
  EXPECT_TRUE(options.testSwitches);
  EXPECT_EQ(options.maxUploadBytes, 1000u);
  EXPECT_EQ(options.publicUrl, "https://files.example.com");
  EXPECT_EQ(options.tlsCert, "c.pem");
  EXPECT_EQ(options.tlsKey, "k.pem");

  auto defaults = ParseServerOptions({"--data", "d"});
  ASSERT_TRUE(std::holds_alternative<ServerOptions>(defaults));
  EXPECT_EQ(std::get<ServerOptions>(defaults).port, 0);
  EXPECT_FALSE(std::get<ServerOptions>(defaults).testSwitches);
}

TEST(ServerOptionsTest, ExplainsWhatIsWrong) {
  auto error = [](std::vector<std::string> args) {
    auto parsed = ParseServerOptions(args);
    return std::holds_alternative<std::string>(parsed) ? std::get<std::string>(parsed) : "";
  };
  EXPECT_EQ(error({}), "--data is required");
  EXPECT_EQ(error({"--data"}), "missing value after --data");
  EXPECT_EQ(error({"--data", "d", "--listen", "8080"}), "--listen needs HOST:PORT, not 8080");
  EXPECT_EQ(error({"--data", "d", "--listen", "h:70000"}), "--listen needs HOST:PORT, not h:70000");
  EXPECT_EQ(error({"--data", "d", "--clock-offset-days", "x"}),
            "--clock-offset-days needs a number");
  EXPECT_EQ(error({"--data", "d", "--verbose", "1"}), "unknown option --verbose");
  EXPECT_EQ(error({"--data", "d", "--tls-cert", "c.pem"}), "--tls-cert and --tls-key go together");
  EXPECT_EQ(error({"--data", "d", "--tls-key", "k.pem"}), "--tls-cert and --tls-key go together");
  // It is written into every descriptor line before the name.
  for (const char* url :
       {"files.example.com", "ftp://h", "https://h/x", "https://a b", "https://"}) {
    EXPECT_EQ(
        error({"--data", "d", "--public-url", url}),
        std::string("--public-url needs http://HOST[:PORT] or https://HOST[:PORT], not ") + url);
  }
}

}  // namespace
}  // namespace server
