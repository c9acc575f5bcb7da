// The running server, reached on loopback as the application, the control and curl reach it.
// The CTest fixture starts it with a fresh data folder (ORVANE_SERVER_URL_FILE,
// ORVANE_SERVER_DATA); the tests run one after another and reset its switches first.
#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "base/ansi.h"
#include "base/text.h"
#include "server/forward_store.h"
#include "server/testing/raw_http_posix.h"
#include "server/testing/wire_request.h"

namespace server {
namespace {

namespace fs = std::filesystem;
using testing::Exchange;
using testing::ParaFileLine;
using testing::UploadBody;
using testing::UploadRequest;
using testing::WireFile;

const std::string US = "\x1f";
const std::string GS = "\x1d";

std::string Sjis(std::u16string_view text) { return base::ToAnsi(text); }

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string RunCommand(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return output;
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  pclose(pipe);
  return output;
}

std::string PercentEncodeUtf8(std::string_view utf8) {
  std::string encoded;
  for (unsigned char c : utf8) {
    if (std::isalnum(c) || c == '.' || c == '-' || c == '_') {
      encoded += static_cast<char>(c);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      encoded += hex;
    }
  }
  return encoded;
}

std::size_t EntriesIn(const fs::path& folder) {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++count;
  return count;
}

class ServerHttpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* urlFile = std::getenv("ORVANE_SERVER_URL_FILE");
    const char* data = std::getenv("ORVANE_SERVER_DATA");
    ASSERT_TRUE(urlFile && data) << "run through ctest: the server fixture sets these";
    url_ = ReadAll(urlFile);
    data_ = data;
    host_ = url_.substr(std::string("http://").size());
    port_ = std::stoi(host_.substr(host_.rfind(':') + 1));
    ASSERT_EQ(Post("/test/reset", "")->status, 200);
  }

  httplib::Result Post(const std::string& path, const std::string& form) {
    httplib::Client client("127.0.0.1", port_);
    return client.Post(path.c_str(), form, "application/x-www-form-urlencoded");
  }

  std::string Upload(const std::string& body) {
    testing::RawAnswer answer = Exchange(port_, UploadRequest(host_, body));
    EXPECT_EQ(answer.status, 200) << answer.headers;
    return answer.body;
  }

  std::vector<ForwardRecord> ForwardsOf(const std::string& productId) {
    return ForwardStore(data_ / "forwards.db").ForwardsOf(productId);
  }

  // What a failed or refused upload must leave as it was.
  struct Traces {
    std::size_t files, mails, staging;
    bool operator==(const Traces&) const = default;
  };
  Traces TracesNow() {
    return {EntriesIn(data_ / "files"), EntriesIn(data_ / "outbox"), EntriesIn(data_ / "staging")};
  }

  // A forward of one small text file, in the control's wire format.
  std::string SimpleForward(const std::string& productId, const std::string& content = "hello") {
    const std::string para = ParaFileLine("sender", productId, {{"n", "n@example.com"}}, "m",
                                          {{"a.txt", static_cast<long long>(content.size())}},
                                          {{"a.txt", static_cast<long long>(content.size())}});
    return UploadBody({{"C:\\Temp\\OrvaneFileTrans.para", para}, {"C:\\Temp\\a.txt", content}});
  }

  std::string url_;
  std::string host_;
  int port_ = 0;
  fs::path data_;
};

// The body of this request comes from a content provider, which lies behind the fields the
// library's TLS build adds to a request. Compiled without the library's own definitions, this
// file and the library disagree on where it lies: the body is lost or the call crashes.
TEST_F(ServerHttpTest, RequestBuiltHereIsSentByTheLibraryAsBuilt) {
  const std::string form = "productid=P-layout";
  httplib::Request request;
  request.method = "POST";
  request.path = "/savesize";
  request.set_header("Content-Type", "application/x-www-form-urlencoded");
  request.content_length_ = form.size();
  request.content_provider_ = [form](std::size_t offset, std::size_t length,
                                     httplib::DataSink& sink) {
    return sink.write(form.data() + offset, std::min(length, form.size() - offset));
  };
  httplib::Client client("127.0.0.1", port_);
  httplib::Response response;
  httplib::Error error = httplib::Error::Success;
  ASSERT_TRUE(client.send(request, response, error)) << httplib::to_string(error);
  EXPECT_EQ(response.status, 200);
  EXPECT_EQ(response.body, "0");
}

TEST_F(ServerHttpTest, WorkedExampleAnnouncesItsLengthAndOffsetAndLacksTheParameterData) {
  const std::string body = UploadBody({{"a.txt", std::string(100, 'x')}});
  EXPECT_EQ(body.size(), 369u);
  EXPECT_EQ(body.substr(70, 40), "000000001 000000100 000000243 000000100 ");
  EXPECT_EQ(body.substr(243, 100), std::string(100, 'x'));
  const Traces before = TracesNow();
  EXPECT_EQ(Upload(body), "-4");
  EXPECT_EQ(TracesNow(), before);
}

TEST_F(ServerHttpTest, HandBuiltForwardIsRecordedMailedAndDownloadableUnderItsNames) {
  const std::string tta(430, '\x7f');
  const std::string text = "20 bytes of text....";
  const std::string para = ParaFileLine(
      Sjis(u"送信者"), "P-hand",
      {{Sjis(u"山田 太郎"), "yamada@example.com"}, {"B", "b@example.com"}},
      Sjis(u"一行目") + GS + Sjis(u"二行目"), {{Sjis(u"録音1.wav"), 1000}, {Sjis(u"表.txt"), 20}},
      {{Sjis(u"録音1.tta"), 430}, {"%95%5C.txt", 20}});
  // The control sends full paths, sorted, the parameter data file among them; the application
  // names its work files in the temporary directory by their percent-encoded names.
  const std::string body = UploadBody({{"C:\\Temp\\%95%5C.txt", text},
                                       {Sjis(u"C:\\Temp\\OrvaneFileTrans.para"), para},
                                       {Sjis(u"C:\\Temp\\録音 1.tta"), tta}},
                                      {"p1"});
  EXPECT_EQ(Upload(body), "1");

  std::vector<ForwardRecord> forwards = ForwardsOf("P-hand");
  ASSERT_EQ(forwards.size(), 1u);
  const ForwardRecord& forward = forwards[0];
  EXPECT_EQ(forward.sender, "送信者");
  EXPECT_EQ(forward.recipients[0].name, "山田 太郎");
  EXPECT_EQ(forward.recipients[1].mail, "b@example.com");
  EXPECT_EQ(forward.message, "一行目\n二行目");
  ASSERT_EQ(forward.files.size(), 2u);
  EXPECT_EQ(forward.files[0].sourceName, "録音1.wav");
  EXPECT_EQ(forward.files[0].sourceSize, 1000);
  EXPECT_EQ(forward.files[0].offeredName, "録音1.tta");
  EXPECT_EQ(forward.files[0].workSize, 430);
  EXPECT_EQ(forward.files[1].offeredName, "表.txt");

  const std::string descriptorUrl = url_ + "/ofts/" + forward.id + ".ofts";
  for (int i = 0; i < 2; ++i) {
    fs::path mail = data_ / "outbox" / (forward.id + "-" + std::to_string(i) + ".txt");
    EXPECT_NE(ReadAll(mail).find(descriptorUrl), std::string::npos) << mail;
  }
  EXPECT_FALSE(fs::exists(data_ / "outbox" / (forward.id + "-2.txt")));

  const std::string descriptor = RunCommand("curl -sS '" + descriptorUrl + "'");
  const std::string base = url_ + "/files/" + forward.id + "/";
  EXPECT_EQ(descriptor, base + Sjis(u"録音1.tta") + "\r\n" + base + Sjis(u"表.txt") + "\r\n");

  const std::pair<std::u16string, std::string> expected[] = {{u"録音1.tta", tta},
                                                             {u"表.txt", text}};
  for (const auto& [name, content] : expected) {
    const std::string fileUrl = base + PercentEncodeUtf8(base::ToUtf8(name));
    EXPECT_EQ(RunCommand("curl -sS -f '" + fileUrl + "'"), content);
    EXPECT_NE(RunCommand("curl -sS -I '" + fileUrl + "'")
                  .find("Content-Length: " + std::to_string(content.size())),
              std::string::npos);
  }
  // A client that sends the descriptor's bytes as they are.
  EXPECT_EQ(
      Exchange(port_, "GET /files/" + forward.id + "/" + Sjis(u"表.txt") + " HTTP/1.0\r\n\r\n")
          .body,
      text);
  EXPECT_EQ(RunCommand("curl -s -o /dev/null -w '%{http_code}' '" + base + "missing.txt'"), "404");
}

// Aliases made for an ISO-2022-JP server go out as they are: their two-byte codes hold a quote, a
// bar, a semicolon, a backslash ("あ万音ぼ") and a slash ("く"). Each file is stored as the listed
// file of its name; all have one size, so only the names tell them apart.
TEST_F(ServerHttpTest, IsoJapaneseAliasesAreStoredUnderTheirNames) {
  const std::string jis = "\x1b$B$\"K|2;$\\\x1b(J.txt";
  const std::string jisSlash = "\x1b$B$/\x1b(J.txt";
  const std::string first(50, '1'), second(50, '2'), third(50, '3');
  const std::string para =
      ParaFileLine("s", "P-jis", {{"n", "n@example.com"}}, "m",
                   {{Sjis(u"く.txt"), 50}, {"plain.txt", 50}, {Sjis(u"あ万音ぼ.txt"), 50}},
                   {{jisSlash, 50}, {"plain.txt", 50}, {jis, 50}});
  const std::string body = UploadBody({{"C:\\Temp\\OrvaneFileTrans.para", para},
                                       {jis, first},
                                       {"C:\\Temp\\plain.txt", second},
                                       {jisSlash, third}});
  EXPECT_EQ(Upload(body), "1");

  std::vector<ForwardRecord> forwards = ForwardsOf("P-jis");
  ASSERT_EQ(forwards.size(), 1u);
  ASSERT_EQ(forwards[0].files.size(), 3u);
  EXPECT_EQ(forwards[0].files[0].workName, jisSlash);
  EXPECT_EQ(forwards[0].files[2].workName, jis);
  // Recipients get each file under its source name.
  EXPECT_EQ(forwards[0].files[0].offeredName, base::ToUtf8(u"く.txt"));
  EXPECT_EQ(forwards[0].files[2].offeredName, base::ToUtf8(u"あ万音ぼ.txt"));
  const fs::path stored = data_ / "files" / forwards[0].id;
  EXPECT_EQ(ReadAll(stored / "0"), third);
  EXPECT_EQ(ReadAll(stored / "1"), second);
  EXPECT_EQ(ReadAll(stored / "2"), first);
}

// Identifiers are all a recipient needs to fetch a forward; those of forwards stored before they
// grew to 128 bits keep serving.
TEST_F(ServerHttpTest, ForwardIdentifiersHold128BitsAndOldOnesStillServe) {
  for (int i = 0; i < 3; ++i) ASSERT_EQ(Upload(SimpleForward("P-ids")), "1");
  std::set<std::string> ids;
  for (const ForwardRecord& forward : ForwardsOf("P-ids")) {
    EXPECT_EQ(forward.id.size(), 32u) << forward.id;
    EXPECT_EQ(forward.id.find_first_not_of("0123456789abcdef"), std::string::npos) << forward.id;
    ids.insert(forward.id);
  }
  EXPECT_EQ(ids.size(), 3u);

  ForwardRecord old;
  old.id = "00c0ffee12345678";
  old.productId = "P-old-id";
  old.createdAt = std::time(nullptr);
  old.keptUntil = old.createdAt + 86400;
  old.files.push_back({"old.txt", 3, "old.txt", 3, "old.txt"});
  ForwardStore store(data_ / "forwards.db");
  store.Begin();
  store.Insert(old);
  store.Commit();
  fs::create_directories(data_ / "files" / old.id);
  std::ofstream(data_ / "files" / old.id / "0", std::ios::binary) << "old";

  const std::string fileUrl = url_ + "/files/" + old.id + "/old.txt";
  EXPECT_EQ(RunCommand("curl -sS -f '" + url_ + "/ofts/" + old.id + ".ofts'"), fileUrl + "\r\n");
  EXPECT_EQ(RunCommand("curl -sS -f '" + fileUrl + "'"), "old");
  EXPECT_EQ(RunCommand("curl -s -o /dev/null -w '%{http_code}' '" + url_ + "/ofts/" + old.id +
                       "0000.ofts'"),
            "404");
}

// An uploader names the sources recipients get and sends the Host header the mails and
// descriptors are written with; neither may steer where a recipient's download goes.
TEST_F(ServerHttpTest, HostileSourceNamesAreRefusedAndHostileHostsNeverReachAnAddress) {
  const Traces before = TracesNow();
  const std::string hostile = "a -d C:\\Users\\Public -o evil.exe -j /payload";
  for (const std::string& source : {hostile, std::string("..\\a.txt"), std::string("a\rb")}) {
    const std::string para = ParaFileLine("s", "P-hostile", {{"n", "n@example.com"}}, "m",
                                          {{source, 5}}, {{"a.txt", 5}});
    EXPECT_EQ(Upload(UploadBody({{"OrvaneFileTrans.para", para}, {"a.txt", "hello"}})), "-4");
  }
  EXPECT_TRUE(ForwardsOf("P-hostile").empty());
  EXPECT_EQ(TracesNow(), before);

  // "ソ" ends in the byte 0x5C; the Host header below is no host.
  const std::string para = ParaFileLine("s", "P-host", {{"n", "n@example.com"}}, "m",
                                        {{Sjis(u"ソ 1.txt"), 5}}, {{"a.txt", 5}});
  std::string request = UploadRequest(
      "evil -d C:\\x", UploadBody({{"OrvaneFileTrans.para", para}, {"a.txt", "hello"}}));
  ASSERT_EQ(Exchange(port_, request).body, "1");
  std::vector<ForwardRecord> forwards = ForwardsOf("P-host");
  ASSERT_EQ(forwards.size(), 1u);
  const std::string descriptorPath = "/ofts/" + forwards[0].id + ".ofts";
  EXPECT_NE(ReadAll(data_ / "outbox" / (forwards[0].id + "-0.txt")).find(url_ + descriptorPath),
            std::string::npos);
  testing::RawAnswer descriptor =
      Exchange(port_, "GET " + descriptorPath + " HTTP/1.0\r\nHost: a b\r\n\r\n");
  EXPECT_EQ(descriptor.body, url_ + "/files/" + forwards[0].id + "/" + Sjis(u"ソ 1.txt") + "\r\n");
}

TEST_F(ServerHttpTest, CurlFormUploadIsRecorded) {
  const fs::path folder = fs::temp_directory_path() / ("orvane-curl-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const std::string content(3000, 'c');
  const std::string para = ParaFileLine("curl", "P-curl", {{"n", "n@example.com"}}, "via curl",
                                        {{"c.bin", 3000}}, {{"c.bin", 3000}});
  std::ofstream(folder / "para", std::ios::binary) << para;
  std::ofstream(folder / "c.bin", std::ios::binary) << content;

  // curl draws a boundary of 40 characters; the index must know where the data will lie.
  const std::string boundary(40, '-');
  const std::string magicHead =
      "--" + boundary + "\r\nContent-Disposition: form-data; name=\"magic\"\r\n\r\n";
  auto fileHead = [&](const std::string& field, const std::string& name) {
    return "\r\n--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + field +
           "\"; filename=\"" + name + "\"\r\nContent-Type: application/octet-stream\r\n\r\n";
  };
  char index[128];
  const std::size_t first =
      magicHead.size() + 60 + fileHead("xfile001", "OrvaneFileTrans.para").size();
  const std::size_t second = first + para.size() + fileHead("xfile002", "c.bin").size();
  std::snprintf(index, sizeof index, "%09d %09zu %09zu %09zu %09zu %09zu ", 2,
                para.size() + content.size(), first, para.size(), second, content.size());

  const std::string answer =
      RunCommand("curl -sS --form-string 'magic=" + std::string(index) + "' -F 'xfile001=@" +
                 (folder / "para").string() +
                 ";filename=OrvaneFileTrans.para;type=application/octet-stream' -F 'xfile002=@" +
                 (folder / "c.bin").string() + ";filename=c.bin;type=application/octet-stream' " +
                 url_ + "/upload");
  fs::remove_all(folder);
  EXPECT_EQ(answer, "1");
  std::vector<ForwardRecord> forwards = ForwardsOf("P-curl");
  ASSERT_EQ(forwards.size(), 1u);
  EXPECT_EQ(forwards[0].message, "via curl");
  EXPECT_EQ(forwards[0].files[0].workSize, 3000);
}

TEST_F(ServerHttpTest, IncorrectDataIsAnsweredMinus4AndLeavesNothing) {
  const Traces before = TracesNow();

  std::string lyingOffset = SimpleForward("P-bad");
  const std::size_t secondOffset = 70 + 20 + 20 + 20;  // the second file's offset field
  lyingOffset.replace(secondOffset, 9, "000000999");
  EXPECT_EQ(Upload(lyingOffset), "-4");

  const std::string para = ParaFileLine("s", "P-bad", {}, "m", {{"a.txt", 5}, {"b.txt", 1}},
                                        {{"a.txt", 5}, {"b.txt", 1}});
  EXPECT_EQ(Upload(UploadBody({{"OrvaneFileTrans.para", para}, {"a.txt", "hello"}})), "-4");

  const std::string otherSize = ParaFileLine("s", "P-bad", {}, "m", {{"a.txt", 6}}, {{"a.txt", 6}});
  EXPECT_EQ(Upload(UploadBody({{"OrvaneFileTrans.para", otherSize}, {"a.txt", "hello"}})), "-4");
  EXPECT_EQ(Upload(SimpleForward("")), "-4");
  EXPECT_EQ(Upload(UploadBody(
                {{"OrvaneFileTrans.para", "not a parameter file\r\n"}, {"a.txt", "hello"}})),
            "-4");

  EXPECT_TRUE(ForwardsOf("P-bad").empty());
  EXPECT_TRUE(ForwardsOf("").empty());
  EXPECT_EQ(TracesNow(), before);
}

TEST_F(ServerHttpTest, ForcedFailuresAreAnsweredAndUndoneAtTheirStep) {
  const Traces before = TracesNow();
  for (const char* code : {"-1", "-2", "-3", "-4", "500 Internal Server Error"}) {
    ASSERT_EQ(Post("/test/answer", std::string("count=1&text=") + code)->status, 200);
    EXPECT_EQ(Upload(SimpleForward("P-forced")), code);
    EXPECT_TRUE(ForwardsOf("P-forced").empty()) << code;
    EXPECT_EQ(TracesNow(), before) << code;
  }
  EXPECT_EQ(Upload(SimpleForward("P-forced")), "1");
  EXPECT_EQ(ForwardsOf("P-forced").size(), 1u);
}

TEST_F(ServerHttpTest, SwitchesDelayAnswersAndCutThemAfterTheHeaders) {
  ASSERT_EQ(Post("/test/delay", "ms=300")->status, 200);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Post("/savesize", "productid=P-none")->body, "0");
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
  ASSERT_EQ(Post("/test/delay", "ms=0")->status, 200);

  ASSERT_EQ(Post("/test/drop", "count=1")->status, 200);
  testing::RawAnswer cut = Exchange(port_, UploadRequest(host_, SimpleForward("P-drop")));
  EXPECT_EQ(cut.status, 200);
  EXPECT_NE(cut.headers.find("Content-Length: 1"), std::string::npos);
  EXPECT_EQ(cut.body, "");
  EXPECT_TRUE(ForwardsOf("P-drop").empty());
  EXPECT_EQ(Upload(SimpleForward("P-drop")), "1");
}

TEST_F(ServerHttpTest, BadRequestsGet4xxAndChangeNothing) {
  const Traces before = TracesNow();
  EXPECT_EQ(Exchange(port_, "GET /upload HTTP/1.0\r\n\r\n").status, 405);

  const std::string body = SimpleForward("P-4xx");
  std::string noBoundary = UploadRequest(host_, body);
  noBoundary.replace(noBoundary.find("; boundary=--K38Valet20020709"), 29, "");
  EXPECT_EQ(Exchange(port_, noBoundary).status, 400);

  std::string notMultipart = UploadRequest(host_, body);
  notMultipart.replace(notMultipart.find("multipart/form-data"), 19, "text/plain");
  EXPECT_EQ(Exchange(port_, notMultipart).status, 400);

  // The server answers 400 to a body cut short, but the library writes nothing to a peer that
  // has closed its sending side; what counts is that no forward is recorded.
  const std::string whole = UploadRequest(host_, body);
  EXPECT_NE(Exchange(port_, whole.substr(0, whole.size() - 40), true).status, 200);

  std::string oversize = UploadRequest(host_, body);
  oversize.replace(oversize.find("Content-Length: ") + 16, std::to_string(body.size()).size(),
                   "5000000000");
  EXPECT_EQ(Exchange(port_, oversize).status, 413);

  EXPECT_TRUE(ForwardsOf("P-4xx").empty());
  EXPECT_EQ(TracesNow(), before);
}

// A body the library would read to its end without bound is refused from its head: the
// client below has sent only the start of it and waits. Within the length rule, the form
// fields of one upload are capped as a whole.
TEST_F(ServerHttpTest, BodiesWithoutAnHonestLengthAreRefusedBeforeTheyAreRead) {
  const Traces before = TracesNow();
  constexpr int kPatienceSeconds = 5;
  const std::string chunkedHead =
      "Content-Type: application/x-www-form-urlencoded\r\nTransfer-Encoding: chunked\r\n\r\n"
      "11E1A300\r\nproductid=P-chunked&";  // a chunk of 300 MB announced, 20 bytes of it sent
  for (const char* path : {"/history", "/savesize"}) {
    testing::RawAnswer answer = Exchange(
        port_, std::string("POST ") + path + " HTTP/1.1\r\nHost: " + host_ + "\r\n" + chunkedHead,
        false, kPatienceSeconds);
    EXPECT_EQ(answer.status, 411) << path;
  }
  const std::string noLength = "POST /history HTTP/1.0\r\nHost: " + host_ +
                               "\r\nContent-Type: application/x-www-form-urlencoded\r\n\r\n"
                               "productid=P-nolength";
  EXPECT_EQ(Exchange(port_, noLength, false, kPatienceSeconds).status, 411);
  EXPECT_EQ(Exchange(port_, "POST /history HTTP/1.0\r\nContent-Length: 70000\r\n\r\nproductid=",
                     false, kPatienceSeconds)
                .status,
            413);

  std::string chunkedUpload = UploadRequest(host_, SimpleForward("P-chunked"));
  const std::size_t lengthAt = chunkedUpload.find("Content-Length:");
  chunkedUpload.replace(lengthAt, chunkedUpload.find("\r\n", lengthAt) - lengthAt,
                        "Transfer-Encoding: chunked");
  chunkedUpload.insert(chunkedUpload.find("\r\n\r\n") + 4, "40000000\r\n");
  EXPECT_EQ(Exchange(port_, chunkedUpload, false, kPatienceSeconds).status, 411);

  // 70 Para fields of 1 KiB: each within any sensible field size, together far above what the
  // index and three Para values take.
  const std::vector<std::string> manyFields(70, std::string(1024, 'p'));
  testing::RawAnswer fields = Exchange(
      port_, UploadRequest(host_, UploadBody({{"OrvaneFileTrans.para", "x"}}, manyFields)));
  EXPECT_EQ(fields.status, 413);

  EXPECT_EQ(Post("/savesize", "productid=P-chunked")->body, "0");
  EXPECT_EQ(TracesNow(), before);
}

TEST_F(ServerHttpTest, HistoryAndSavedSizeShowKeptAndExpiredForwardsByteForByte) {
  constexpr long long kNovemberFirst = 1793523907;  // 2026/11/01 09:05:07 UTC
  ASSERT_EQ(Post("/test/clock", "pinned=" + std::to_string(kNovemberFirst))->status, 200);
  EXPECT_EQ(Upload(SimpleForward("P-hist", "first")), "1");

  ASSERT_EQ(Post("/test/clock", "offset_days=4&pinned=" + std::to_string(kNovemberFirst))->status,
            200);
  const std::string para =
      ParaFileLine("s", "P-hist", {{Sjis(u"鈴木"), "s@example.com"}, {"b", "b@example.com"}}, "m",
                   {{"v.wav", 900}, {"t.txt", 3}}, {{"v.tta", 400}, {"t.txt", 3}});
  EXPECT_EQ(
      Upload(UploadBody(
          {{"OrvaneFileTrans.para", para}, {"t.txt", "abc"}, {"v.tta", std::string(400, 'v')}})),
      "1");
  EXPECT_EQ(Post("/savesize", "productid=P-hist")->body, "408");
  std::vector<ForwardRecord> forwards = ForwardsOf("P-hist");
  ASSERT_EQ(forwards.size(), 2u);

  // Exactly five days old is not yet older than five days.
  ASSERT_EQ(Post("/test/clock", "offset_days=5&pinned=" + std::to_string(kNovemberFirst))->status,
            200);
  EXPECT_EQ(Post("/savesize", "productid=P-hist")->body, "408");

  // Six days after the first forward, five days have not yet passed for the second.
  ASSERT_EQ(Post("/test/clock", "offset_days=6&pinned=" + std::to_string(kNovemberFirst))->status,
            200);
  const std::string empty = US + US;  // a place without a recipient, and the separator after it
  const std::string expected =
      "n" + US + "n@example.com" + US + empty + empty + empty + empty + "2026/11/01 09:05:07" + US +
      "1" + US + "a.txt" + US + "5\r\n" + Sjis(u"鈴木") + US + "s@example.com" + US + "b" + US +
      "b@example.com" + US + empty + empty + empty + "2026/11/05 09:05:07" + US + "0" + US +
      "v.tta" + US + "400" + US + "t.txt" + US + "3\r\n";
  EXPECT_EQ(Post("/history", "productid=P-hist")->body, expected);
  EXPECT_EQ(Post("/savesize", "productid=P-hist")->body, "403");
  EXPECT_FALSE(fs::exists(data_ / "files" / forwards[0].id));
  EXPECT_TRUE(fs::exists(data_ / "files" / forwards[1].id));
  EXPECT_EQ(RunCommand("curl -s -o /dev/null -w '%{http_code}' '" + url_ + "/ofts/" +
                       forwards[0].id + ".ofts'"),
            "404");

  EXPECT_EQ(Post("/savesize", "productid=P-unknown")->body, "0");
  EXPECT_EQ(Post("/history", "productid=P-unknown")->body, "");
  EXPECT_EQ(Post("/savesize", "")->body, "-1");
}

}  // namespace
}  // namespace server
