#include "app/upload/answer_message.h"

namespace {

std::u16string WithoutLineEnds(std::u16string_view text) {
  std::u16string kept;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
      ++i;
    } else {
      kept += text[i];
    }
  }
  return kept;
}

}  // namespace

AnswerMessage MessageForAnswer(std::u16string_view answer) {
  const std::u16string code = WithoutLineEnds(answer);
  if (code == u"1") return {u"完了しました。", true};
  if (code == u"-1") return {u"ファイル保存時にエラーが発生しました。"};
  if (code == u"-2") return {u"データベース登録時にエラーが発生しました。"};
  if (code == u"-3") return {u"メール送信時にエラーが発生しました。"};
  if (code == u"-4") return {u"ファイル転送に必要なデータが正しくありません。"};
  return {u"ファイル転送でエラーが発生しました。(ErrCode：" + code + u")"};
}
