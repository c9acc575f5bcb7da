// Taking the selected address book entries as recipients, within the places the forward has left.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct SelectionOutcome {
  std::vector<size_t> taken;              // rows taken, in list order
  std::optional<std::u16string> refusal;  // the message when nothing may be taken
};

// `selected` holds one flag per row; `forwardCount` is the number of recipients already set.
SelectionOutcome TakeSelectedRows(const std::vector<bool>& selected, int16_t forwardCount);
