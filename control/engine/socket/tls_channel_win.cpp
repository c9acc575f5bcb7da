#include "control/engine/socket/tls_channel_win.h"

#include <wincrypt.h>
#include <winsock2.h>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

constexpr ULONG kContextRequest = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT |
                                  ISC_REQ_CONFIDENTIALITY | ISC_REQ_ALLOCATE_MEMORY |
                                  ISC_REQ_STREAM | ISC_REQ_EXTENDED_ERROR;

// Chain building must not reach out to the network: it runs on the window's thread. Revocation
// is therefore known only from what the system has cached.
constexpr DWORD kChainFlags = CERT_CHAIN_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT |
                              CERT_CHAIN_REVOCATION_CHECK_CACHE_ONLY |
                              CERT_CHAIN_CACHE_ONLY_URL_RETRIEVAL;

// SECURITY_FLAG_IGNORE_REVOCATION of the SSL policy; its header is WinINet's.
constexpr DWORD kIgnoreRevocation = 0x00000080;

std::wstring Widen(const std::string& text) {
  const int length =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
  if (length > 0) {
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  }
  return wide;
}

SecBuffer Buffer(unsigned long type, void* data = nullptr, unsigned long length = 0) {
  SecBuffer buffer{};
  buffer.BufferType = type;
  buffer.pvBuffer = data;
  buffer.cbBuffer = length;
  return buffer;
}

// Drops what a call has used from the front of `incoming`, keeping what it reported as extra.
void KeepExtra(std::string& incoming, const SecBuffer* buffers, int count) {
  for (int i = 0; i < count; ++i) {
    if (buffers[i].BufferType == SECBUFFER_EXTRA && buffers[i].cbBuffer <= incoming.size()) {
      incoming.erase(0, incoming.size() - buffers[i].cbBuffer);
      return;
    }
  }
  incoming.clear();
}

const char* Reason(long code) {
  switch (static_cast<unsigned long>(code)) {
    case static_cast<unsigned long>(CERT_E_UNTRUSTEDROOT):
    case static_cast<unsigned long>(CERT_E_CHAINING):
    case static_cast<unsigned long>(TRUST_E_CERT_SIGNATURE):
      return "its authority is not trusted";
    case static_cast<unsigned long>(CERT_E_EXPIRED):
      return "it has expired or is not yet valid";
    case static_cast<unsigned long>(CERT_E_CN_NO_MATCH):
      return "it is for another host name";
    case static_cast<unsigned long>(CRYPT_E_REVOKED):
      return "it has been revoked";
    case static_cast<unsigned long>(CERT_E_WRONG_USAGE):
      return "it is not for servers";
    default:
      return "it cannot be verified";
  }
}

// The code of a check that could not be made: never 0, which would let the server pass.
long FailureCode() {
  const DWORD error = GetLastError();
  return error != 0 ? static_cast<long>(error) : static_cast<long>(CERT_E_CHAINING);
}

// What the chain itself says, checked before the policy and whatever the policy makes of it:
// 0, or the code of the first fault found.
long ChainError(DWORD status) {
  if (status & CERT_TRUST_IS_REVOKED) return CRYPT_E_REVOKED;
  if (status & (CERT_TRUST_IS_UNTRUSTED_ROOT | CERT_TRUST_IS_PARTIAL_CHAIN |
                CERT_TRUST_IS_NOT_SIGNATURE_VALID | CERT_TRUST_IS_CYCLIC)) {
    return CERT_E_UNTRUSTEDROOT;
  }
  if (status & CERT_TRUST_IS_NOT_TIME_VALID) return CERT_E_EXPIRED;
  if (status & CERT_TRUST_IS_NOT_VALID_FOR_USAGE) return CERT_E_WRONG_USAGE;
  return 0;
}

}  // namespace

TlsChannel::TlsChannel(std::string host) : host_(std::move(host)), wideHost_(Widen(host_)) {}

TlsChannel::~TlsChannel() {
  if (haveContext_) DeleteSecurityContext(&context_);
  if (haveCredentials_) FreeCredentialsHandle(&credentials_);
}

bool TlsChannel::AcquireCredentials() {
  SCHANNEL_CRED settings{};
  settings.dwVersion = SCHANNEL_CRED_VERSION;
  // The certificate is checked here, against the store and the URL's host, not by the provider.
  settings.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
  TimeStamp expiry{};
  const SECURITY_STATUS status =
      AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W), SECPKG_CRED_OUTBOUND,
                                nullptr, &settings, nullptr, nullptr, &credentials_, &expiry);
  if (status != SEC_E_OK) {
    error_ = status;
    return false;
  }
  haveCredentials_ = true;
  return true;
}

TlsChannel::Step TlsChannel::Advance(std::string& incoming, std::string& out) {
  out.clear();
  if (!haveCredentials_ && !AcquireCredentials()) return Step::kFailed;
  if (haveContext_ && incoming.empty()) return Step::kNeedInput;
  SecBuffer input[2] = {
      Buffer(SECBUFFER_TOKEN, incoming.data(), static_cast<unsigned long>(incoming.size())),
      Buffer(SECBUFFER_EMPTY)};
  SecBufferDesc inputDesc{SECBUFFER_VERSION, 2, input};
  SecBuffer output[1] = {Buffer(SECBUFFER_TOKEN)};
  SecBufferDesc outputDesc{SECBUFFER_VERSION, 1, output};
  ULONG attributes = 0;
  const SECURITY_STATUS status = InitializeSecurityContextW(
      &credentials_, haveContext_ ? &context_ : nullptr, wideHost_.data(), kContextRequest, 0, 0,
      haveContext_ ? &inputDesc : nullptr, 0, haveContext_ ? nullptr : &context_, &outputDesc,
      &attributes, nullptr);
  if (output[0].pvBuffer != nullptr) {
    if (status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED) {
      out.assign(static_cast<const char*>(output[0].pvBuffer), output[0].cbBuffer);
    }
    FreeContextBuffer(output[0].pvBuffer);
  }
  if (status == SEC_E_INCOMPLETE_MESSAGE) return Step::kNeedInput;
  if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED) {
    error_ = status;
    return Step::kFailed;
  }
  const bool started = haveContext_;
  haveContext_ = true;
  if (started) KeepExtra(incoming, input, 2);
  if (status == SEC_I_CONTINUE_NEEDED) return incoming.empty() ? Step::kNeedInput : Step::kSend;
  const SECURITY_STATUS sized =
      QueryContextAttributesW(&context_, SECPKG_ATTR_STREAM_SIZES, &sizes_);
  if (sized != SEC_E_OK || sizes_.cbMaximumMessage == 0) {
    error_ = sized != SEC_E_OK ? sized : SEC_E_INTERNAL_ERROR;
    return Step::kFailed;
  }
  open_ = true;
  return Step::kDone;
}

long TlsChannel::VerifyServer(std::string& why) {
  PCCERT_CONTEXT certificate = nullptr;
  const SECURITY_STATUS queried =
      QueryContextAttributesW(&context_, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate);
  if (queried != SEC_E_OK || certificate == nullptr) {
    why = "the server showed no certificate";
    return queried != SEC_E_OK ? queried : SEC_E_CERT_UNKNOWN;
  }
  char serverAuth[] = szOID_PKIX_KP_SERVER_AUTH;
  LPSTR usages[] = {serverAuth};
  CERT_CHAIN_PARA chainPara{};
  chainPara.cbSize = sizeof chainPara;
  chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
  chainPara.RequestedUsage.Usage.cUsageIdentifier = 1;
  chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
  PCCERT_CHAIN_CONTEXT chain = nullptr;
  long code = 0;
  if (!CertGetCertificateChain(nullptr, certificate, nullptr, certificate->hCertStore, &chainPara,
                               kChainFlags, nullptr, &chain)) {
    code = FailureCode();
  } else if (const long chainCode = ChainError(chain->TrustStatus.dwErrorStatus)) {
    code = chainCode;
  } else {
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
    ssl.cbSize = sizeof ssl;
    ssl.dwAuthType = AUTHTYPE_SERVER;
    // A revocation the cache knows of was refused above; one it cannot tell about (the usual
    // case offline) must not end the run, and Wine's policy reports it before the name.
    ssl.fdwChecks = kIgnoreRevocation;
    ssl.pwszServerName = wideHost_.data();
    CERT_CHAIN_POLICY_PARA policy{};
    policy.cbSize = sizeof policy;
    policy.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS status{};
    status.cbSize = sizeof status;
    if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &status)) {
      code = FailureCode();
    } else {
      code = static_cast<long>(status.dwError);
    }
  }
  if (chain != nullptr) CertFreeCertificateChain(chain);
  CertFreeCertificateContext(certificate);
  if (code != 0) {
    char text[160];
    std::snprintf(text, sizeof text, "%s (0x%08lX)", Reason(code),
                  static_cast<unsigned long>(code));
    why = text;
  }
  return code;
}

long TlsChannel::Encrypt(const char* data, int length, std::string& out) {
  const unsigned long header = sizes_.cbHeader, trailer = sizes_.cbTrailer;
  const size_t records = static_cast<size_t>(length) / sizes_.cbMaximumMessage + 1;
  out.reserve(out.size() + static_cast<size_t>(length) + records * (header + trailer));
  for (int done = 0; done < length;) {
    const unsigned long piece =
        std::min<unsigned long>(sizes_.cbMaximumMessage, static_cast<unsigned long>(length - done));
    const size_t start = out.size();
    out.resize(start + header + piece + trailer);
    char* record = out.data() + start;
    std::copy(data + done, data + done + piece, record + header);
    SecBuffer buffers[4] = {Buffer(SECBUFFER_STREAM_HEADER, record, header),
                            Buffer(SECBUFFER_DATA, record + header, piece),
                            Buffer(SECBUFFER_STREAM_TRAILER, record + header + piece, trailer),
                            Buffer(SECBUFFER_EMPTY)};
    SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
    const SECURITY_STATUS status = EncryptMessage(&context_, 0, &desc, 0);
    if (status != SEC_E_OK) {
      out.resize(start);
      return status;
    }
    out.resize(start + buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer);
    done += static_cast<int>(piece);
  }
  return 0;
}

long TlsChannel::Decrypt(std::string& incoming, ByteBuffer& plain, bool& closed) {
  closed = false;
  while (!incoming.empty()) {
    SecBuffer buffers[4] = {
        Buffer(SECBUFFER_DATA, incoming.data(), static_cast<unsigned long>(incoming.size())),
        Buffer(SECBUFFER_EMPTY), Buffer(SECBUFFER_EMPTY), Buffer(SECBUFFER_EMPTY)};
    SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
    const SECURITY_STATUS status = DecryptMessage(&context_, &desc, 0, nullptr);
    if (status == SEC_E_INCOMPLETE_MESSAGE) return 0;
    if (status == SEC_I_CONTEXT_EXPIRED) {
      closed = true;
      incoming.clear();
      return 0;
    }
    // A renegotiation is refused: the server was checked once, for the whole upload.
    if (status != SEC_E_OK) return status;
    for (const SecBuffer& buffer : buffers) {
      if (buffer.BufferType == SECBUFFER_DATA && buffer.cbBuffer > 0 &&
          !plain.Append(static_cast<const char*>(buffer.pvBuffer),
                        static_cast<int>(buffer.cbBuffer))) {
        return WSAENOBUFS;
      }
    }
    KeepExtra(incoming, buffers, 4);
  }
  return 0;
}
