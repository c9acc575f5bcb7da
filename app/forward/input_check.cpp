#include "app/forward/input_check.h"

#include <regex>

#include "app/main/text_limits.h"
#include "base/text.h"

bool IsMailAddress(std::u16string_view text) {
  for (char16_t unit : text) {
    if (unit >= 0x80) return false;
  }
  static const std::regex pattern(R"(^[a-zA-Z0-9_\.\-]+?@[a-zA-Z0-9_\.\-]+$)");
  return std::regex_match(base::Narrow(text), pattern);
}

std::optional<InputRefusal> CheckRecipientInput(std::u16string_view name,
                                                std::u16string_view email) {
  if (name.empty() || !IsShorterThan(name, kNameByteLimit)) {
    return InputRefusal{u"お名前は全角30文字以内で入力して下さい。", InputField::Name};
  }
  if (name.find(u',') != std::u16string_view::npos) {
    return InputRefusal{u"お名前に半角のカンマ（,）は使用出来ません。", InputField::Name};
  }
  if (email.empty() || !IsShorterThan(email, kEmailByteLimit)) {
    return InputRefusal{u"メールアドレスは半角50文字以内で入力して下さい。", InputField::Email};
  }
  if (!IsMailAddress(email)) {
    return InputRefusal{u"メールアドレスが正しくありません。", InputField::Email};
  }
  return std::nullopt;
}

std::optional<InputRefusal> CheckSenderInput(std::u16string_view name) {
  if (name.empty() || !IsShorterThan(name, kNameByteLimit)) {
    return InputRefusal{u"送信者名は全角30文字以内で入力して下さい。", InputField::Name};
  }
  return std::nullopt;
}
