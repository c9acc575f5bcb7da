#include "base/testing/trusted_authority_win.h"

#include <vector>

namespace base::testing {

TrustedAuthority::TrustedAuthority(const std::string& pem) {
  DWORD size = 0;
  CryptStringToBinaryA(pem.c_str(), 0, CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr);
  std::vector<BYTE> der(size);
  if (!CryptStringToBinaryA(pem.c_str(), 0, CRYPT_STRING_BASE64HEADER, der.data(), &size, nullptr,
                            nullptr)) {
    return;
  }
  store_ = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"Root");
  if (store_ != nullptr &&
      CertAddEncodedCertificateToStore(store_, X509_ASN_ENCODING, der.data(), size,
                                       CERT_STORE_ADD_REPLACE_EXISTING, &added_)) {
    // Wine keeps the change in this handle until it is committed; the chain engine, which
    // opens the store afresh, would not see it.
    CertControlStore(store_, 0, CERT_STORE_CTRL_COMMIT, nullptr);
  }
}

TrustedAuthority::~TrustedAuthority() {
  if (added_ != nullptr && CertDeleteCertificateFromStore(added_)) {
    CertControlStore(store_, 0, CERT_STORE_CTRL_COMMIT, nullptr);
  }
  if (store_ != nullptr) CertCloseStore(store_, 0);
}

}  // namespace base::testing
