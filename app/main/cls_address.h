#pragma once

#include <memory>
#include <string>
#include <vector>

// One recipient or address book entry. The same object may sit in the address book and in a
// forward's recipient list at once, hence the shared ownership of the collections.
class clsAddress {
 public:
  std::u16string SendName;
  std::u16string Email;
};

using AddressCollection = std::vector<std::shared_ptr<clsAddress>>;
