#include "app/main/address_book_format.h"

#include "base/ansi.h"

AddressBookParse ParseAddressBook(std::string_view fileBytes) {
  AddressBookParse result;
  size_t pos = 0;
  while (pos < fileBytes.size()) {
    size_t end = fileBytes.find('\r', pos);
    if (end == std::string_view::npos) end = fileBytes.size();
    const std::string_view line = fileBytes.substr(pos, end - pos);
    pos = end + 1;
    if (pos < fileBytes.size() && fileBytes[pos] == '\n') ++pos;

    // Shift_JIS trail bytes never take the value of ",", so splitting the bytes is safe.
    const size_t comma = line.find(',');
    if (comma == std::string_view::npos) {
      result.complete = false;
      break;
    }
    const size_t secondComma = line.find(',', comma + 1);
    auto entry = std::make_shared<clsAddress>();
    entry->SendName = base::FromAnsi(line.substr(0, comma));
    entry->Email = base::FromAnsi(line.substr(comma + 1, secondComma == std::string_view::npos
                                                              ? std::string_view::npos
                                                              : secondComma - comma - 1));
    result.entries.push_back(std::move(entry));
  }
  return result;
}

std::string FormatAddressBook(const AddressCollection& entries) {
  std::string text;
  for (const auto& entry : entries) {
    text += base::ToAnsi(entry->SendName);
    text += ',';
    text += base::ToAnsi(entry->Email);
    text += "\r\n";
  }
  return text;
}
