#include "app/upload/compress_failure_message.h"

namespace {

// The result codes of TTA_VB.dll's compressor.
std::u16string Reason(int32_t result) {
  switch (result) {
    case 1:
      return u"ファイルを開けません。";
    case 2:
      return u"圧縮できない形式のWAVファイルです。圧縮できるのはリニアPCM(整数)形式だけで、"
             u"浮動小数点形式などのWAVファイルは圧縮できません。";
    case 3:
      return u"作業ファイルを書き込めません。ディスクの空き容量を確認して下さい。";
    case 4:
      return u"ファイルが壊れているか、途中で切れています。";
    case 5:
      return u"ファイルを読み込めません。";
    case 7:
      return u"メモリが不足しています。";
    default: {
      const std::string code = std::to_string(result);
      return u"圧縮中にエラーが発生しました。(コード：" + std::u16string(code.begin(), code.end()) +
             u")";
    }
  }
}

}  // namespace

std::u16string CompressFailureMessage(std::u16string_view filePath, int32_t result) {
  return u"次のファイルを圧縮出来ませんでした。転送を中止します。\r\n\r\n" +
         std::u16string(filePath) + u"\r\n\r\n" + Reason(result);
}
