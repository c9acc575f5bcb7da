#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/main/address_book_format.h"

// "address.dat" may have been edited by hand: any bytes must parse, and what was read must
// write back, without harm.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const AddressBookParse book =
      ParseAddressBook(std::string_view(reinterpret_cast<const char*>(data), size));
  FormatAddressBook(book.entries);
  return 0;
}
