// The fixture's orvane-server as the history tests use it: forwards stored through its upload
// address, exactly as the upload control sends them, and its clock moved to let them expire.
#pragma once

#include <string>
#include <vector>

namespace history_testing {

struct StoredFile {
  std::string name;  // code page 932 bytes
  std::string data;
};

struct Recipient {
  std::string name;  // code page 932 bytes
  std::string mail;
};

// http://127.0.0.1:PORT of the fixture's server; empty outside ctest.
std::u16string ServerUrl();

// The body of the server's answer to a form POST; empty when it gave none.
std::string PostForm(const std::string& path, const std::string& form);

// The body of the server's answer to a GET of `path`; empty when it gave none.
std::string Get(const std::string& path);

// Stores one forward; true when the server answered "1".
bool StoreForward(const std::string& productId, const std::vector<Recipient>& recipients,
                  const std::vector<StoredFile>& files);

}  // namespace history_testing
