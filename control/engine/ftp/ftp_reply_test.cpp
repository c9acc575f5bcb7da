#include "control/engine/ftp/ftp_reply.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

namespace zorvel {
namespace {

class ScriptedLines : public FtpLineSource {
 public:
  explicit ScriptedLines(std::deque<std::string> lines) : lines_(std::move(lines)) {}
  int ReadLine(std::string& line, int capacity) override {
    if (lines_.empty()) return -2;
    line = lines_.front().substr(0, static_cast<size_t>(capacity - 1));
    lines_.pop_front();
    return 0;
  }
  void Log(std::string_view line) override {
    logged.emplace_back(line);
    if (logged.size() == abortAfter) aborted = true;
  }
  bool Aborted() override { return aborted; }
  size_t Left() const { return lines_.size(); }

  std::vector<std::string> logged;
  size_t abortAfter = 0;
  bool aborted = false;

 private:
  std::deque<std::string> lines_;
};

TEST(FtpReplyTest, SingleAndMultiLineReplies) {
  FtpReplyState state;
  ScriptedLines lines({"220-Welcome", "  to the server", "230 not the end", "220 ready",
                       "331 Password required", "530 Login incorrect."});
  EXPECT_EQ(ReadFtpReply(state, lines), 2);
  EXPECT_EQ(state.replyCode, 220);
  EXPECT_EQ(state.replyText, "220-Welcome\r\n  to the server\r\n230 not the end\r\n220 ready\r\n");
  EXPECT_EQ(state.replyDepth, 0);
  EXPECT_EQ(lines.logged.size(), 4u);
  EXPECT_EQ(ReadFtpReply(state, lines), 3);
  EXPECT_EQ(state.replyText, "331 Password required\r\n");
  EXPECT_EQ(ReadFtpReply(state, lines), 5);
  EXPECT_EQ(state.replyCode, 530);
}

TEST(FtpReplyTest, CodesOutside100To599AskForMoreLines) {
  FtpReplyState state;
  ScriptedLines lines({"hello there", "099 low", "600 high", "226 done", "227 next"});
  EXPECT_EQ(ReadFtpReply(state, lines), 2);
  EXPECT_EQ(state.replyCode, 226);
  EXPECT_EQ(lines.Left(), 1u);
}

TEST(FtpReplyTest, AStaleCodeOfThePreviousReplyIsForgotten) {
  FtpReplyState state;
  ScriptedLines lines({"331 more", "junk", "230 ok"});
  EXPECT_EQ(ReadFtpReply(state, lines), 3);
  EXPECT_EQ(ReadFtpReply(state, lines), 2);
  EXPECT_EQ(state.replyCode, 230);
}

TEST(FtpReplyTest, ReadFailures) {
  FtpReplyState state;
  ScriptedLines none({});
  EXPECT_EQ(ReadFtpReply(state, none), -2);
  EXPECT_EQ(state.replyDepth, 0);
  // Inside a multi-line reply the failure ends it with what was read.
  ScriptedLines cut({"250-first", "more"});
  EXPECT_EQ(ReadFtpReply(state, cut), 2);
  EXPECT_EQ(state.replyDepth, 0);
}

TEST(FtpReplyTest, CancelEndsTheReplyAs421) {
  FtpReplyState state;
  ScriptedLines lines({"150-Opening", "still", "226 done"});
  lines.abortAfter = 1;
  EXPECT_EQ(ReadFtpReply(state, lines), 4);
  EXPECT_EQ(state.replyCode, 421);
  EXPECT_EQ(lines.Left(), 2u);
}

TEST(FtpReplyTest, ReplyTextKeepsWholeLinesBelow1024Characters) {
  FtpReplyState state;
  const std::string long1(1019, 'a');  // with CR LF: 1021 < 1024
  ScriptedLines lines({"220-" + long1.substr(4), "x", "220 end"});
  EXPECT_EQ(ReadFtpReply(state, lines), 2);
  EXPECT_EQ(state.replyText.size(), 1021u);
  EXPECT_EQ(state.replyText.substr(0, 4), "220-");
  ScriptedLines exact({"220 " + std::string(1018, 'b')});  // 1022 + 2 is not below 1024
  EXPECT_EQ(ReadFtpReply(state, exact), 2);
  EXPECT_EQ(state.replyText, "");
  // A reply line is cut to 4095 characters.
  ScriptedLines huge({"226 " + std::string(9000, 'c')});
  ReadFtpReply(state, huge);
  EXPECT_EQ(huge.logged[0].size(), 4095u);
}

// A server that sends continuation lines without end is refused after kReplyLineLimit lines,
// whatever comes after; a long reply within the bound is read whole.
TEST(FtpReplyTest, AnEndlessContinuationIsRefusedAtItsBound) {
  std::deque<std::string> many(50000, "still going");
  many.push_front("220-start");
  many.push_back("220 end");
  ScriptedLines endless(std::move(many));
  FtpReplyState state;
  EXPECT_EQ(ReadFtpReply(state, endless), kReplyTooLong);
  EXPECT_EQ(endless.Left(), 50001u - (kReplyLineLimit - 1));
  EXPECT_EQ(state.replyDepth, 0);

  std::deque<std::string> within(kReplyLineLimit - 2, "still going");
  within.push_front("220-start");
  within.push_back("220 end");
  ScriptedLines bounded(std::move(within));
  EXPECT_EQ(ReadFtpReply(state, bounded), 2);
  EXPECT_EQ(bounded.Left(), 0u);
}

}  // namespace
}  // namespace zorvel
