// The field checks of the recipient dialog and the sender dialog, in their order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Names may take 60 bytes (30 full-width characters), mail addresses 50; the byte-length check
// is given the limit plus one.
inline constexpr int16_t kNameByteLimit = 61;
inline constexpr int16_t kEmailByteLimit = 51;

enum class InputField { Name, Email };

struct InputRefusal {
  std::u16string message;
  InputField field;  // where the focus goes
};

// Letters, digits, "_", "." and "-" on both sides of one at sign, nothing else.
bool IsMailAddress(std::u16string_view text);

// A comma in a name would split the entry when "address.dat" is read back, so names with one
// are refused where they are typed.
std::optional<InputRefusal> CheckRecipientInput(std::u16string_view name,
                                                std::u16string_view email);

std::optional<InputRefusal> CheckSenderInput(std::u16string_view name);
