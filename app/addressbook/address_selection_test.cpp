#include "app/addressbook/address_selection.h"

#include <gtest/gtest.h>

namespace {

TEST(AddressSelection, RowsAreTakenInListOrderWithinTheRemainingPlaces) {
  const auto three = TakeSelectedRows({true, false, true, true}, 3);
  EXPECT_TRUE(three.taken.empty());
  EXPECT_EQ(three.refusal, u"選択可能なファイル転送先は 2 名までです。");
  const auto two = TakeSelectedRows({false, true, false, true}, 3);
  EXPECT_EQ(two.taken, (std::vector<size_t>{1, 3}));
  EXPECT_FALSE(two.refusal);
  EXPECT_EQ(TakeSelectedRows(std::vector<bool>(5, true), 0).taken.size(), 5u);
  EXPECT_EQ(TakeSelectedRows(std::vector<bool>(6, true), 0).refusal,
            u"選択可能なファイル転送先は 5 名までです。");
}

TEST(AddressSelection, NothingSelectedAsksForASelection) {
  EXPECT_EQ(TakeSelectedRows({false, false}, 0).refusal, u"ファイル転送先を選択して下さい。");
}

}  // namespace
