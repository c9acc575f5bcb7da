#include "app/main/address_book_format.h"

#include <gtest/gtest.h>

namespace {

std::shared_ptr<clsAddress> Entry(std::u16string name, std::u16string email) {
  auto entry = std::make_shared<clsAddress>();
  entry->SendName = std::move(name);
  entry->Email = std::move(email);
  return entry;
}

}  // namespace

TEST(AddressBookFormat, RoundTripIsByteIdentical) {
  const std::string file = "\x8E\x52\x93\x63\x91\xBE\x98\x59,taro@example.jp\r\nBob,bob@x.org\r\n";
  const AddressBookParse book = ParseAddressBook(file);
  ASSERT_TRUE(book.complete);
  ASSERT_EQ(book.entries.size(), 2u);
  EXPECT_EQ(book.entries[0]->SendName, u"山田太郎");
  EXPECT_EQ(book.entries[0]->Email, u"taro@example.jp");
  EXPECT_EQ(FormatAddressBook(book.entries), file);
}

TEST(AddressBookFormat, EmptyBookIsAnEmptyFile) {
  EXPECT_EQ(FormatAddressBook({}), "");
  const AddressBookParse book = ParseAddressBook("");
  EXPECT_TRUE(book.complete);
  EXPECT_TRUE(book.entries.empty());
}

TEST(AddressBookFormat, LastLineWithoutLineEndIsRead) {
  const AddressBookParse book = ParseAddressBook("a,a@x\r\nb,b@x");
  EXPECT_TRUE(book.complete);
  ASSERT_EQ(book.entries.size(), 2u);
  EXPECT_EQ(book.entries[1]->Email, u"b@x");
}

TEST(AddressBookFormat, EmptyLineOrLineWithoutCommaStopsReading) {
  AddressBookParse book = ParseAddressBook("a,a@x\r\n\r\nb,b@x\r\n");
  EXPECT_FALSE(book.complete);
  ASSERT_EQ(book.entries.size(), 1u);
  EXPECT_EQ(book.entries[0]->SendName, u"a");

  book = ParseAddressBook("a,a@x\r\nnocomma\r\nb,b@x\r\n");
  EXPECT_FALSE(book.complete);
  EXPECT_EQ(book.entries.size(), 1u);
}

TEST(AddressBookFormat, LineEndsAtCrAndLoneLfStaysInTheLine) {
  const AddressBookParse book = ParseAddressBook("a,a@x\rb\n,b@x\r\n");
  ASSERT_TRUE(book.complete);
  ASSERT_EQ(book.entries.size(), 2u);
  EXPECT_EQ(book.entries[1]->SendName, u"b\n");
}

TEST(AddressBookFormat, PiecesAfterTheSecondCommaAreDropped) {
  const AddressBookParse book = ParseAddressBook("Yamada, Taro,taro@x,extra\r\n");
  ASSERT_EQ(book.entries.size(), 1u);
  EXPECT_EQ(book.entries[0]->SendName, u"Yamada");
  EXPECT_EQ(book.entries[0]->Email, u" Taro");
}

TEST(AddressBookFormat, WritesNamesAsStored) {
  EXPECT_EQ(FormatAddressBook({Entry(u"ソ", u"s@x"), Entry(u"", u"")}), "\x83\x5C,s@x\r\n,\r\n");
}
