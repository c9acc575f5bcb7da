#include "app/main/address_book_file_win.h"

#include "app/main/address_book_format.h"
#include "app/main/bas_main.h"
#include "app/main/file_utils_win.h"
#include "app/main/show_error_message_win.h"

namespace {

std::u16string AddressBookPath() { return ProgramFolder() + u"\\address.dat"; }

}  // namespace

bool ReadAddressBookFile() {
  basMain::colAddressBook = AddressCollection();
  return WithErrorTrap(u"ReadAddressBookFile", false, [] {
    const std::u16string path = AddressBookPath();
    if (!CheckFileExist(path)) return true;
    AddressBookParse book = ParseAddressBook(ReadWholeFile(path));
    basMain::colAddressBook = std::move(book.entries);
    if (!book.complete) {
      throw AppError(app_errors::kSubscriptOutOfRange, u"インデックスが有効範囲にありません。");
    }
    return true;
  });
}

bool WriteAddressBookFile() {
  return WithErrorTrap(u"WriteAddressBookFile", false, [] {
    ReplaceFileContent(AddressBookPath(), FormatAddressBook(basMain::colAddressBook));
    return true;
  });
}
