#include "app/addressbook/address_selection.h"

#include <string>

#include "app/forward/forward_rules.h"
#include "base/text.h"

SelectionOutcome TakeSelectedRows(const std::vector<bool>& selected, int16_t forwardCount) {
  SelectionOutcome outcome;
  for (size_t row = 0; row < selected.size(); ++row) {
    if (selected[row]) outcome.taken.push_back(row);
  }
  const int places = static_cast<int>(kMaxRecipients) - forwardCount;
  if (places < static_cast<int>(outcome.taken.size())) {
    outcome.taken.clear();
    outcome.refusal =
        u"選択可能なファイル転送先は " + base::Widen(std::to_string(places)) + u" 名までです。";
  } else if (outcome.taken.empty()) {
    outcome.refusal = u"ファイル転送先を選択して下さい。";
  }
  return outcome;
}
