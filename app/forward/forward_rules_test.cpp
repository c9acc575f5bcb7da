#include "app/forward/forward_rules.h"

#include <gtest/gtest.h>

#include "base/text.h"

namespace {

std::vector<AddStep> Steps(const std::vector<AddDecision>& plan) {
  std::vector<AddStep> steps;
  for (const AddDecision& decision : plan) steps.push_back(decision.step);
  return steps;
}

std::vector<std::u16string> Names(size_t count) {
  std::vector<std::u16string> names;
  for (size_t i = 0; i < count; ++i) names.push_back(base::Widen(std::to_string(i)));
  return names;
}

TEST(ForwardRules, LabelsRoundKilobytesHalvesUp) {
  EXPECT_EQ(FormatFileSizeKB(0), u"0 KB");
  EXPECT_EQ(FormatFileSizeKB(511), u"0 KB");
  EXPECT_EQ(FormatFileSizeKB(512), u"1 KB");
  EXPECT_EQ(FormatFileSizeKB(1073741823), u"1048576 KB");
  EXPECT_EQ(FormatFileCount(500), u"500");
  EXPECT_EQ(FileCountLimitMessage(), u"転送可能なファイル数は500までです。");
}

TEST(ForwardRules, NoFileIsChosenOnceTheCountOrTheSizeIsReached) {
  EXPECT_EQ(RefuseMoreFiles(500, 0), u"既に転送可能なファイル数が設定されています。");
  EXPECT_EQ(RefuseMoreFiles(499, kMaxForwardBytes),
            u"既に転送可能なファイルサイズが設定されています。");
  EXPECT_FALSE(RefuseMoreFiles(499, kMaxForwardBytes - 1));
}

TEST(ForwardRules, OneFileMustKeepTheSumBelowOneGigabyte) {
  EXPECT_EQ(PlanFileAdd({}, 0, {u"a", kMaxForwardBytes}).step, AddStep::SizeLimit);
  EXPECT_EQ(PlanFileAdd({}, 0, {u"a", kMaxForwardBytes - 1}).step, AddStep::Add);
  EXPECT_EQ(PlanFileAdd({u"b"}, 1, {u"a", kMaxForwardBytes - 1}).step, AddStep::SizeLimit);
}

TEST(ForwardRules, NamesThatWouldShareOneWorkFileAreDuplicates) {
  EXPECT_TRUE(IsDuplicateName({u"録音.wav"}, u"録音.wav"));
  EXPECT_TRUE(IsDuplicateName({u"Memo.WAV"}, u"memo.wav"));
  EXPECT_TRUE(IsDuplicateName({u"x.wav"}, u"x.tta"));
  EXPECT_FALSE(IsDuplicateName({u"x.wav"}, u"x.mp3"));
  EXPECT_FALSE(IsDuplicateName({u"Ａ.txt"}, u"ａ.txt"));  // full-width letters differ in Shift_JIS
  EXPECT_EQ(PlanFileAdd({u"A.txt"}, 0, {u"a.TXT", 1}).step, AddStep::Duplicate);
  EXPECT_EQ(AlreadySetMessage(u"a.txt"), u"a.txtは設定済みのため追加出来ません。");
}

TEST(ForwardRules, FolderWalkStopsAtTheFileCount) {
  const std::vector<CandidateFile> folder = {{u"x1", 1}, {u"x2", 1}, {u"x3", 1}};
  const auto plan = PlanFolderAdd(Names(499), 499, folder);
  EXPECT_EQ(Steps(plan), (std::vector<AddStep>{AddStep::Add, AddStep::CountLimit}));
  EXPECT_EQ(plan[1].candidate, 1u);
}

TEST(ForwardRules, FolderWalkAddsUntilTheNextFileWouldReachOneGigabyte) {
  const int64_t third = kMaxForwardBytes / 3;
  const std::vector<CandidateFile> folder = {
      {u"a", third}, {u"b", third}, {u"c", third + 1}, {u"d", 1}};
  EXPECT_EQ(Steps(PlanFolderAdd({}, 0, folder)),
            (std::vector<AddStep>{AddStep::Add, AddStep::Add, AddStep::SizeLimit}));
}

TEST(ForwardRules, FolderWalkSkipsEachDuplicateAndGoesOn) {
  const std::vector<CandidateFile> folder = {{u"a", 1}, {u"new", 1}, {u"b", 1}};
  EXPECT_EQ(Steps(PlanFolderAdd({u"a", u"b"}, 2, folder)),
            (std::vector<AddStep>{AddStep::Duplicate, AddStep::Add, AddStep::Duplicate}));
  // Within one folder too: x.tta would overwrite the work file of x.wav.
  EXPECT_EQ(Steps(PlanFolderAdd({}, 0, {{u"x.wav", 1}, {u"x.tta", 1}})),
            (std::vector<AddStep>{AddStep::Add, AddStep::Duplicate}));
}

TEST(ForwardRules, ForwardChecksComeInTheirOrder) {
  const std::u16string fullWidth500(500, u'あ');
  const std::u16string oneTooMany = fullWidth500 + u"a";
  ForwardState state{0, 0, 2000, kMaxForwardBytes - 824, oneTooMany, u""};
  EXPECT_EQ(RefuseForward(state)->message, u"ファイル転送先を設定して下さい。");
  state.recipientCount = 1;
  EXPECT_EQ(RefuseForward(state)->message, u"転送するファイルを設定して下さい。");
  state.fileCount = 1;
  EXPECT_EQ(RefuseForward(state)->message, u"転送可能サイズを超えています。");
  state.serverSavedBytes = kMaxForwardBytes - 2000;
  const auto tooLong = RefuseForward(state);
  EXPECT_EQ(tooLong->message, u"メッセージは全角500文字以内で入力して下さい。");
  EXPECT_TRUE(tooLong->aboutMessageText);
  state.message = fullWidth500;
  EXPECT_EQ(RefuseForward(state)->message, u"送信者名を入力して下さい。");
  state.senderName = u"山田";
  EXPECT_FALSE(RefuseForward(state));
}

}  // namespace
