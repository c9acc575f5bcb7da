// The text of "address.dat": one "name,mail address" line per entry, CR LF after each, in the
// ANSI code page.
#pragma once

#include <string>
#include <string_view>

#include "app/main/cls_address.h"

struct AddressBookParse {
  AddressCollection entries;  // the entries before the first bad line
  bool complete = true;       // false when a line without a comma (or an empty one) stopped it
};

// A line ends at CR or CR LF; a lone LF stays part of the line. Pieces after the second comma
// are ignored.
AddressBookParse ParseAddressBook(std::string_view fileBytes);

std::string FormatAddressBook(const AddressCollection& entries);
