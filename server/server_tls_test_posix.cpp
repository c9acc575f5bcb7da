// The server started with a certificate and key: it speaks HTTPS only, takes the control's
// upload through TLS, and the addresses it writes into mails and descriptors start with https.
#include <gtest/gtest.h>
#include <httplib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "server/forward_store.h"
#include "server/testing/raw_http_posix.h"
#include "server/testing/wire_request.h"

namespace server {
namespace {

namespace fs = std::filesystem;
using testing::ParaFileLine;
using testing::UploadBody;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

class ServerTlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* urlFile = std::getenv("ORVANE_SERVER_URL_FILE");
    const char* data = std::getenv("ORVANE_SERVER_DATA");
    ASSERT_TRUE(urlFile && data) << "run through ctest: the server fixture sets these";
    url_ = ReadAll(urlFile);
    data_ = data;
    ca_ = (fs::path(urlFile).parent_path() / "ca.pem").string();
    port_ = std::stoi(url_.substr(url_.rfind(':') + 1));
  }

  // A client that trusts the fixture's authority, and only it.
  std::unique_ptr<httplib::SSLClient> Client() {
    auto client = std::make_unique<httplib::SSLClient>("127.0.0.1", port_);
    client->set_ca_cert_path(ca_.c_str());
    client->enable_server_certificate_verification(true);
    return client;
  }

  std::string url_, ca_;
  fs::path data_;
  int port_ = 0;
};

TEST_F(ServerTlsTest, UploadOverTlsIsRecordedUnderHttpsAddresses) {
  ASSERT_EQ(url_.rfind("https://127.0.0.1:", 0), 0u) << url_;
  const std::string content = std::string(70'000, 'z');
  const std::string para = ParaFileLine("sender", "P-tls", {{"n", "n@example.com"}}, "m",
                                        {{"a.dat", 70'000}}, {{"a.dat", 70'000}});
  const std::string body =
      UploadBody({{"C:\\Temp\\OrvaneFileTrans.para", para}, {"C:\\Temp\\a.dat", content}});
  const std::unique_ptr<httplib::SSLClient> client = Client();
  const httplib::Result answer =
      client->Post("/upload", body, "multipart/form-data; boundary=--K38Valet20020709");
  ASSERT_TRUE(answer) << httplib::to_string(answer.error());
  EXPECT_EQ(answer->body, "1");

  const std::vector<ForwardRecord> forwards =
      ForwardStore(data_ / "forwards.db").ForwardsOf("P-tls");
  ASSERT_EQ(forwards.size(), 1u);
  const std::string descriptorUrl = url_ + "/ofts/" + forwards[0].id + ".ofts";
  EXPECT_NE(ReadAll(data_ / "outbox" / (forwards[0].id + "-0.txt")).find(descriptorUrl),
            std::string::npos);
  const httplib::Result descriptor = client->Get("/ofts/" + forwards[0].id + ".ofts");
  ASSERT_TRUE(descriptor);
  const std::string fileUrl = url_ + "/files/" + forwards[0].id + "/a.dat";
  EXPECT_EQ(descriptor->body, fileUrl + "\r\n");
  const httplib::Result file = client->Get("/files/" + forwards[0].id + "/a.dat");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->body, content);
}

// Clear text gets no answer, and a client that does not trust the authority gets nothing.
TEST_F(ServerTlsTest, OnlyTrustingTlsClientsAreServed) {
  const testing::RawAnswer plain =
      testing::Exchange(port_, "GET /savesize HTTP/1.0\r\n\r\n", false, 5);
  EXPECT_EQ(plain.status, 0);
  httplib::SSLClient stranger("127.0.0.1", port_);
  stranger.enable_server_certificate_verification(true);
  stranger.set_ca_cert_path("/nonexistent/ca.pem");
  EXPECT_FALSE(stranger.Get("/savesize"));
}

// A certificate or key that cannot be used stops the server at its start, with the reason.
TEST(ServerTlsOptionsTest, UnusableCertificateStopsTheStart) {
  const char* binary = std::getenv("ORVANE_SERVER_BINARY");
  ASSERT_NE(binary, nullptr) << "run through ctest";
  const fs::path folder = fs::temp_directory_path() / ("orvane-tls-" + std::to_string(getpid()));
  fs::create_directories(folder);
  std::ofstream(folder / "cert.pem") << "not a certificate\n";
  const std::string command = std::string(binary) + " --data '" + (folder / "data").string() +
                              "' --tls-cert '" + (folder / "cert.pem").string() + "' --tls-key '" +
                              (folder / "cert.pem").string() + "' 2>'" +
                              (folder / "err.txt").string() + "'";
  const int status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  EXPECT_NE(ReadAll(folder / "err.txt").find("cannot serve TLS with"), std::string::npos);
  fs::remove_all(folder);
}

}  // namespace
}  // namespace server
