// Test support: a test authority trusted in the current user's root store of the prefix while
// the object lives, as a user who trusts a site's authority would.
#pragma once

#include <windows.h>
// wincrypt.h needs the types of windows.h.
#include <wincrypt.h>

#include <string>

namespace base::testing {

// Wine's chain engine reads the trusted roots once per process: trust comes before the first
// TLS connection of the test program.
class TrustedAuthority {
 public:
  // `pem`: the authority's certificate in PEM form.
  explicit TrustedAuthority(const std::string& pem);
  ~TrustedAuthority();
  TrustedAuthority(const TrustedAuthority&) = delete;
  TrustedAuthority& operator=(const TrustedAuthority&) = delete;
  bool Trusted() const { return added_ != nullptr; }

 private:
  HCERTSTORE store_ = nullptr;
  PCCERT_CONTEXT added_ = nullptr;
};

}  // namespace base::testing
