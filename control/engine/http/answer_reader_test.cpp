#include "control/engine/http/answer_reader.h"

#include <gtest/gtest.h>

#include "control/engine/socket/byte_buffer.h"

namespace zorvel {
namespace {

using Next = AnswerReader::Next;

TEST(AnswerReaderTest, SuccessRecordsHeadersAndTheAnnouncedLength) {
  ByteBuffer headers;
  AnswerReader reader(headers);
  EXPECT_EQ(reader.TakeLine("HTTP/1.1 200 OK"), Next::kReadLine);
  EXPECT_FALSE(reader.HeadersToLog());
  EXPECT_EQ(reader.TakeLine("content-length:    5"), Next::kReadLine);
  EXPECT_EQ(reader.TakeLine("X-Other: 1"), Next::kReadLine);
  EXPECT_EQ(reader.TakeLine(""), Next::kBody);
  EXPECT_TRUE(reader.HeadersToLog());
  EXPECT_EQ(headers.View(), "HTTP/1.1 200 OK\r\ncontent-length:    5\r\nX-Other: 1\r\n");
  EXPECT_EQ(reader.ContentLength(), 5);
  EXPECT_FALSE(reader.BodyComplete(4));
  EXPECT_TRUE(reader.BodyComplete(5));
  EXPECT_EQ(reader.ProgressLine(), "");
}

TEST(AnswerReaderTest, WithoutLengthTheBodyRunsToTheClose) {
  ByteBuffer headers;
  AnswerReader reader(headers);
  reader.TakeLine("http/1.0 201 Created");
  reader.TakeLine("Content-Length: none");
  EXPECT_EQ(reader.TakeLine(""), Next::kBody);
  EXPECT_FALSE(reader.BodyComplete(1'000'000));
}

TEST(AnswerReaderTest, ServerErrorsEndAtTheirStatusLine) {
  for (const char* line : {"HTTP/1.1 500 Internal Server Error", "HTTP/1.0 404 Not Found",
                           "HTTP/1.1 100 Continue", "HTTP/1.1", "HTTP/1.1 abc"}) {
    SCOPED_TRACE(line);
    ByteBuffer headers;
    AnswerReader reader(headers);
    EXPECT_EQ(reader.TakeLine(line), Next::kServerError);
    EXPECT_TRUE(reader.HeadersToLog());
    EXPECT_EQ(reader.ProgressLine(), line);
    EXPECT_EQ(headers.View(), std::string(line) + "\r\n");
  }
}

TEST(AnswerReaderTest, RedirectionsReadTheirHeadersAndThenFail) {
  ByteBuffer headers;
  AnswerReader reader(headers);
  EXPECT_EQ(reader.TakeLine("HTTP/1.1 302 Found"), Next::kReadLine);
  EXPECT_EQ(reader.TakeLine("Location: http://elsewhere/"), Next::kReadLine);
  EXPECT_EQ(reader.TakeLine(""), Next::kServerError);
  EXPECT_TRUE(reader.HeadersToLog());
  EXPECT_EQ(reader.ProgressLine(), "HTTP/1.1 302 Found");
  EXPECT_EQ(headers.View(), "HTTP/1.1 302 Found\r\nLocation: http://elsewhere/\r\n");
}

TEST(AnswerReaderTest, NoStatusLineIsNoSuccess) {
  ByteBuffer headers;
  AnswerReader reader(headers);
  EXPECT_EQ(reader.TakeLine(""), Next::kServerError);
  EXPECT_FALSE(reader.HeadersToLog()) << "nothing was read to log";
  AnswerReader another(headers);
  another.TakeLine("Server: x");
  EXPECT_EQ(another.TakeLine(""), Next::kServerError);
}

TEST(AnswerReaderTest, HugeLengthsDoNotOverflow) {
  ByteBuffer headers;
  AnswerReader reader(headers);
  EXPECT_EQ(reader.TakeLine("HTTP/1.0 99999999999999999999999999 Odd"), Next::kServerError);
  AnswerReader second(headers);
  second.TakeLine("HTTP/1.0 200 OK");
  second.TakeLine("Content-Length: 99999999999999999999999999999");
  EXPECT_EQ(second.TakeLine(""), Next::kBody);
  EXPECT_GT(second.ContentLength(), 0);
}

}  // namespace
}  // namespace zorvel
