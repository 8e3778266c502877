// The client side of TLS on Windows: the system's Schannel through SSPI, so that a host needs
// no library beyond Windows' own. The handshake tokens and the records travel over the
// socket's raw calls; the bytes received beyond a record wait in `incoming_` for the next one.
// The server's certificate is checked here after the handshake, against the pin or through
// crypt32's chain policy for TLS servers, rather than left to Schannel's automatic check.
#ifndef SECURITY_WIN32
#define SECURITY_WIN32
#endif
// The newer credentials (SCH_CREDENTIALS, TLS_PARAMETERS), which name TLS 1.3.
#ifndef SCHANNEL_USE_BLACKLISTS
#define SCHANNEL_USE_BLACKLISTS
#endif
// Winsock before windows.h, and windows.h before the security headers.
#include <winsock2.h>

#include <windows.h>

#include <bcrypt.h>
#include <subauth.h>  // UNICODE_STRING, which the newer credentials use
// clang-format off
#include <schannel.h>
// clang-format on
#include <security.h>
#include <sspi.h>
#include <wincrypt.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "protocol/errors.h"
#include "protocol/tls.h"
#include "rtl/exceptions.h"

namespace tvx::example {

namespace {

ConnectionError Rejected(const std::string& reason) {
  return ConnectionError(ConnectionFailure::kRejected, reason);
}

ConnectionError Closed() { return ConnectionError(ConnectionFailure::kClosed, kConnectionBroken); }

std::string StatusText(SECURITY_STATUS status) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lx", static_cast<unsigned long>(status));
  switch (static_cast<unsigned long>(status)) {
    case 0x80090325UL:  // SEC_E_UNTRUSTED_ROOT
      return std::string("сертификат сервера выдан не доверенным центром, ") + code;
    case 0x80090322UL:  // SEC_E_WRONG_PRINCIPAL
      return std::string("сертификат сервера выдан на другое имя, ") + code;
    case 0x80090328UL:  // SEC_E_CERT_EXPIRED
      return std::string("срок действия сертификата сервера истёк, ") + code;
    case 0x80090327UL:  // SEC_E_CERT_UNKNOWN
      return std::string("сертификат сервера не принят, ") + code;
    case 0x80090331UL:  // SEC_E_ALGORITHM_MISMATCH
      return std::string("клиент и сервер не договорились о протоколе, ") + code;
    case 0x80090326UL:  // SEC_E_ILLEGAL_MESSAGE
      return std::string("сервер прислал неверное сообщение TLS, ") + code;
    default:
      return std::string("код ") + code;
  }
}

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), length);
  return text;
}

// SHA-256 through the system's CNG; empty when it is not to be had.
std::string Sha256Text(const std::uint8_t* data, unsigned long size) {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0) {
    return {};
  }
  std::array<std::uint8_t, 32> digest{};
  BCRYPT_HASH_HANDLE hash = nullptr;
  bool done = BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) == 0;
  done = done && BCryptHashData(hash, const_cast<PUCHAR>(data), size, 0) == 0;
  done = done && BCryptFinishHash(hash, digest.data(), static_cast<ULONG>(digest.size()), 0) == 0;
  if (hash != nullptr) BCryptDestroyHash(hash);
  BCryptCloseAlgorithmProvider(algorithm, 0);
  return done ? FingerprintText(digest) : std::string();
}

// The reason a certificate chain's check failed, in the operator's words.
std::string PolicyText(DWORD error) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lx", static_cast<unsigned long>(error));
  switch (static_cast<unsigned long>(error)) {
    case 0x800B0109UL:  // CERT_E_UNTRUSTEDROOT
      return std::string("сертификат сервера выдан не доверенным центром, ") + code;
    case 0x800B010FUL:  // CERT_E_CN_NO_MATCH
      return std::string("сертификат сервера выдан на другое имя, ") + code;
    case 0x800B0101UL:  // CERT_E_EXPIRED
      return std::string("срок действия сертификата сервера истёк, ") + code;
    default:
      return std::string("сертификат сервера не прошёл проверку, ") + code;
  }
}

// Checks the server's certificate as Schannel's automatic validation does, explicitly so that
// it is checked wherever the client runs (Wine's Schannel accepts any certificate): the chain
// must end at a root of the system's store and the certificate must name the host. Returns
// the failure, or an empty text.
std::string CheckAgainstSystemStore(PCCERT_CONTEXT certificate, const std::wstring& host) {
  // A chain for the purpose of a TLS server: a certificate whose extended key usage names
  // other purposes only is refused.
  LPSTR server_auth[] = {const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH)};
  CERT_CHAIN_PARA chain_settings{};
  chain_settings.cbSize = sizeof chain_settings;
  chain_settings.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
  chain_settings.RequestedUsage.Usage.cUsageIdentifier = 1;
  chain_settings.RequestedUsage.Usage.rgpszUsageIdentifier = server_auth;
  PCCERT_CHAIN_CONTEXT chain = nullptr;
  if (!CertGetCertificateChain(nullptr, certificate, nullptr, certificate->hCertStore,
                               &chain_settings, 0, nullptr, &chain)) {
    return PolicyText(GetLastError());
  }
  SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
  ssl.cbSize = sizeof ssl;
  ssl.dwAuthType = AUTHTYPE_SERVER;
  ssl.pwszServerName = const_cast<wchar_t*>(host.c_str());
  CERT_CHAIN_POLICY_PARA policy{};
  policy.cbSize = sizeof policy;
  policy.pvExtraPolicyPara = &ssl;
  CERT_CHAIN_POLICY_STATUS status{};
  status.cbSize = sizeof status;
  const bool checked =
      CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &status) != FALSE;
  CertFreeCertificateChain(chain);
  if (!checked) return PolicyText(GetLastError());
  return status.dwError == 0 ? std::string() : PolicyText(status.dwError);
}

class SchannelSession : public TlsSession {
 public:
  SchannelSession() = default;
  SchannelSession(const SchannelSession&) = delete;
  SchannelSession& operator=(const SchannelSession&) = delete;
  ~SchannelSession() override {
    if (have_context_) DeleteSecurityContext(&context_);
    if (have_credentials_) FreeCredentialsHandle(&credentials_);
  }

  void Handshake(Socket& raw, const std::string& host, const std::string& pin,
                 Clock::time_point deadline);

  void Send(Socket& raw, std::span<const std::uint8_t> bytes, Clock::time_point deadline) override {
    std::vector<std::uint8_t> record;
    std::size_t sent = 0;
    while (sent < bytes.size()) {
      const std::size_t chunk = std::min<std::size_t>(bytes.size() - sent, sizes_.cbMaximumMessage);
      record.resize(sizes_.cbHeader + chunk + sizes_.cbTrailer);
      std::memcpy(record.data() + sizes_.cbHeader, bytes.data() + sent, chunk);
      SecBuffer buffers[4] = {
          {sizes_.cbHeader, SECBUFFER_STREAM_HEADER, record.data()},
          {static_cast<unsigned long>(chunk), SECBUFFER_DATA, record.data() + sizes_.cbHeader},
          {sizes_.cbTrailer, SECBUFFER_STREAM_TRAILER, record.data() + sizes_.cbHeader + chunk},
          {0, SECBUFFER_EMPTY, nullptr}};
      SecBufferDesc message{SECBUFFER_VERSION, 4, buffers};
      if (EncryptMessage(&context_, 0, &message, 0) != SEC_E_OK) throw Closed();
      raw.SendRaw(std::span(record.data(), static_cast<std::size_t>(buffers[0].cbBuffer) +
                                               buffers[1].cbBuffer + buffers[2].cbBuffer),
                  deadline);
      sent += chunk;
    }
  }

  std::size_t Receive(Socket& raw, std::span<std::uint8_t> bytes,
                      Clock::time_point deadline) override {
    while (plain_taken_ == plain_.size()) {
      if (!incoming_.empty() && DecryptOne()) continue;
      ReceiveMore(raw, deadline);
    }
    const std::size_t n = std::min(bytes.size(), plain_.size() - plain_taken_);
    std::memcpy(bytes.data(), plain_.data() + plain_taken_, n);
    plain_taken_ += n;
    return n;
  }

  bool Pending() const override { return plain_taken_ < plain_.size() || !incoming_.empty(); }

  bool PeerGone(Socket& raw) override {
    // The server sends nothing unasked after the handshake: any record means it is gone or
    // broke the protocol.
    return Pending() || raw.PeerGoneRaw();
  }

  void Close(Socket& raw) noexcept override {
    if (!have_context_ || !established_) return;
    // The close_notify: the context makes it once told to shut down.
    DWORD kind = SCHANNEL_SHUTDOWN;
    SecBuffer control{sizeof kind, SECBUFFER_TOKEN, &kind};
    SecBufferDesc control_desc{SECBUFFER_VERSION, 1, &control};
    if (ApplyControlToken(&context_, &control_desc) != SEC_E_OK) return;
    SecBuffer out{0, SECBUFFER_TOKEN, nullptr};
    SecBufferDesc out_desc{SECBUFFER_VERSION, 1, &out};
    DWORD attributes = 0;
    const SECURITY_STATUS status =
        InitializeSecurityContextW(&credentials_, &context_, nullptr, kRequest, 0, 0, nullptr, 0,
                                   nullptr, &out_desc, &attributes, nullptr);
    if ((status == SEC_E_OK || status == SEC_I_CONTEXT_EXPIRED) && out.pvBuffer != nullptr) {
      try {
        raw.SendRaw(std::span(static_cast<const std::uint8_t*>(out.pvBuffer), out.cbBuffer),
                    Clock::now());
      } catch (const ConnectionError&) {
      }
    }
    if (out.pvBuffer != nullptr) FreeContextBuffer(out.pvBuffer);
  }

 private:
  static constexpr DWORD kRequest = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT |
                                    ISC_REQ_CONFIDENTIALITY | ISC_REQ_ALLOCATE_MEMORY |
                                    ISC_REQ_STREAM | ISC_REQ_EXTENDED_ERROR;

  void ReceiveMore(Socket& raw, Clock::time_point deadline) {
    std::array<std::uint8_t, 16 * 1024> chunk{};
    const std::size_t n = raw.ReceiveRaw(chunk, deadline);
    incoming_.insert(incoming_.end(), chunk.begin(), chunk.begin() + static_cast<long>(n));
  }

  // Decrypts the record at the start of `incoming_`; false when it is not complete yet.
  bool DecryptOne() {
    SecBuffer buffers[4] = {
        {static_cast<unsigned long>(incoming_.size()), SECBUFFER_DATA, incoming_.data()},
        {0, SECBUFFER_EMPTY, nullptr},
        {0, SECBUFFER_EMPTY, nullptr},
        {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc message{SECBUFFER_VERSION, 4, buffers};
    const SECURITY_STATUS status = DecryptMessage(&context_, &message, 0, nullptr);
    if (status == SEC_E_INCOMPLETE_MESSAGE) return false;
    if (status == SEC_I_CONTEXT_EXPIRED) throw Closed();  // the server's close_notify
    // The server sends nothing unasked after the handshake; a renegotiation (or, on TLS 1.3,
    // any handshake message) is a break of that, reported as what it is.
    if (status == SEC_I_RENEGOTIATE) {
      throw ConnectionError(ConnectionFailure::kMalformed,
                            "сервер запросил повторное согласование TLS, которого клиент не ведёт");
    }
    if (status != SEC_E_OK) throw Closed();
    std::vector<std::uint8_t> extra;
    for (const SecBuffer& buffer : buffers) {
      if (buffer.BufferType == SECBUFFER_DATA && buffer.cbBuffer > 0) {
        const auto* data = static_cast<const std::uint8_t*>(buffer.pvBuffer);
        plain_.erase(plain_.begin(), plain_.begin() + static_cast<long>(plain_taken_));
        plain_taken_ = 0;
        plain_.insert(plain_.end(), data, data + buffer.cbBuffer);
      } else if (buffer.BufferType == SECBUFFER_EXTRA && buffer.cbBuffer > 0) {
        const auto* data = static_cast<const std::uint8_t*>(buffer.pvBuffer);
        extra.assign(data, data + buffer.cbBuffer);
      }
    }
    incoming_ = std::move(extra);
    return true;
  }

  // Tells the server with a fatal alert why the connection ends, before it is closed.
  void SendAlert(Socket& raw, DWORD alert, Clock::time_point deadline) noexcept {
    SCHANNEL_ALERT_TOKEN token{SCHANNEL_ALERT, TLS1_ALERT_FATAL, alert};
    SecBuffer control{sizeof token, SECBUFFER_TOKEN, &token};
    SecBufferDesc control_desc{SECBUFFER_VERSION, 1, &control};
    if (ApplyControlToken(&context_, &control_desc) != SEC_E_OK) return;
    SecBuffer out{0, SECBUFFER_TOKEN, nullptr};
    SecBufferDesc out_desc{SECBUFFER_VERSION, 1, &out};
    DWORD attributes = 0;
    InitializeSecurityContextW(&credentials_, &context_, nullptr, kRequest, 0, 0, nullptr, 0,
                               nullptr, &out_desc, &attributes, nullptr);
    try {
      SendToken(raw, out, deadline);
    } catch (const ConnectionError&) {
    }
    if (out.pvBuffer != nullptr) FreeContextBuffer(out.pvBuffer);
  }

  // Takes credentials that offer TLS 1.3 beside 1.2 where Schannel knows the newer settings
  // (SCH_CREDENTIALS), and TLS 1.2 alone through the older ones where it does not.
  SECURITY_STATUS AcquireCredentials(TimeStamp& expiry) {
    // The certificate is checked after the handshake, against the pin or the system's store.
    const DWORD flags =
        SCH_CRED_NO_DEFAULT_CREDS | SCH_CRED_MANUAL_CRED_VALIDATION | SCH_USE_STRONG_CRYPTO;
    TLS_PARAMETERS parameters{};
    parameters.grbitDisabledProtocols =
        static_cast<DWORD>(~(SP_PROT_TLS1_2_CLIENT | SP_PROT_TLS1_3_CLIENT));
    SCH_CREDENTIALS modern{};
    modern.dwVersion = SCH_CREDENTIALS_VERSION;
    modern.dwFlags = flags;
    modern.cTlsParameters = 1;
    modern.pTlsParameters = &parameters;
    SECURITY_STATUS status =
        AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W), SECPKG_CRED_OUTBOUND,
                                  nullptr, &modern, nullptr, nullptr, &credentials_, &expiry);
    if (status == SEC_E_OK) return status;
    SCHANNEL_CRED settings{};
    settings.dwVersion = SCHANNEL_CRED_VERSION;
    settings.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
    settings.dwFlags = flags;
    return AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W),
                                     SECPKG_CRED_OUTBOUND, nullptr, &settings, nullptr, nullptr,
                                     &credentials_, &expiry);
  }

  // Sends a token that InitializeSecurityContextW allocated, and frees it.
  static void SendToken(Socket& raw, SecBuffer& token, Clock::time_point deadline) {
    if (token.pvBuffer == nullptr) return;
    const std::vector<std::uint8_t> bytes(
        static_cast<const std::uint8_t*>(token.pvBuffer),
        static_cast<const std::uint8_t*>(token.pvBuffer) + token.cbBuffer);
    FreeContextBuffer(token.pvBuffer);
    token.pvBuffer = nullptr;
    if (!bytes.empty()) raw.SendRaw(bytes, deadline);
  }

  CredHandle credentials_{};
  bool have_credentials_ = false;
  CtxtHandle context_{};
  bool have_context_ = false;
  bool established_ = false;
  SecPkgContext_StreamSizes sizes_{};
  std::vector<std::uint8_t> incoming_;
  std::vector<std::uint8_t> plain_;
  std::size_t plain_taken_ = 0;
};

void SchannelSession::Handshake(Socket& raw, const std::string& host, const std::string& pin,
                                Clock::time_point deadline) {
  TimeStamp expiry{};
  SECURITY_STATUS status = AcquireCredentials(expiry);
  if (status != SEC_E_OK) {
    throw Rejected("Schannel не дал учётных данных TLS (" + StatusText(status) + ")");
  }
  have_credentials_ = true;

  std::wstring target = Wide(host);
  const DWORD request = kRequest | ISC_REQ_MANUAL_CRED_VALIDATION;
  DWORD attributes = 0;
  SecBuffer out{0, SECBUFFER_TOKEN, nullptr};
  SecBufferDesc out_desc{SECBUFFER_VERSION, 1, &out};
  status = InitializeSecurityContextW(&credentials_, nullptr, target.data(), request, 0, 0, nullptr,
                                      0, &context_, &out_desc, &attributes, &expiry);
  if (status != SEC_I_CONTINUE_NEEDED) {
    if (out.pvBuffer != nullptr) FreeContextBuffer(out.pvBuffer);
    throw Rejected("не удалось начать соединение TLS (" + StatusText(status) + ")");
  }
  have_context_ = true;
  SendToken(raw, out, deadline);

  // The first bytes of the answer show whether the server speaks TLS at all.
  std::array<std::uint8_t, 3> opening{};
  if (raw.PeekRaw(opening, deadline) < opening.size()) {
    throw ConnectionError(ConnectionFailure::kTimedOut, "сервер не ответил вовремя");
  }
  if (!LooksLikeTlsRecord(opening)) {
    throw PlainAnswerError(raw, deadline);
  }

  bool need_more = true;
  while (status == SEC_I_CONTINUE_NEEDED) {
    if (need_more) ReceiveMore(raw, deadline);
    SecBuffer in[2] = {
        {static_cast<unsigned long>(incoming_.size()), SECBUFFER_TOKEN, incoming_.data()},
        {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc in_desc{SECBUFFER_VERSION, 2, in};
    out = SecBuffer{0, SECBUFFER_TOKEN, nullptr};
    status = InitializeSecurityContextW(&credentials_, &context_, target.data(), request, 0, 0,
                                        &in_desc, 0, nullptr, &out_desc, &attributes, &expiry);
    if (status == SEC_E_INCOMPLETE_MESSAGE) {
      if (out.pvBuffer != nullptr) FreeContextBuffer(out.pvBuffer);
      need_more = true;
      status = SEC_I_CONTINUE_NEEDED;
      continue;
    }
    // A token goes out on success, to continue, and on failure as the alert that tells the
    // server why.
    try {
      SendToken(raw, out, deadline);
    } catch (const ConnectionError&) {
      if (!FAILED(status)) throw;
    }
    if (FAILED(status)) {
      throw Rejected("не удалось установить соединение TLS (" + StatusText(status) + ")");
    }
    if (in[1].BufferType == SECBUFFER_EXTRA && in[1].cbBuffer > 0) {
      incoming_.erase(incoming_.begin(), incoming_.end() - static_cast<long>(in[1].cbBuffer));
      need_more = false;
    } else {
      incoming_.clear();
      need_more = true;
    }
  }
  if (status != SEC_E_OK) {
    throw Rejected("не удалось установить соединение TLS (" + StatusText(status) + ")");
  }
  established_ = true;

  PCCERT_CONTEXT certificate = nullptr;
  if (QueryContextAttributesW(&context_, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate) !=
          SEC_E_OK ||
      certificate == nullptr) {
    throw Rejected("сервер не предъявил сертификата");
  }
  std::string refusal;
  if (pin.empty()) {
    refusal = CheckAgainstSystemStore(certificate, target);
  } else {
    const std::string actual = Sha256Text(certificate->pbCertEncoded, certificate->cbCertEncoded);
    if (actual != pin) {
      refusal =
          "сертификат сервера не совпадает с заданным отпечатком (SHA-256 сертификата сервера: " +
          (actual.empty() ? std::string("нет") : actual) + ")";
    }
  }
  CertFreeCertificateContext(certificate);
  if (!refusal.empty()) {
    SendAlert(raw, TLS1_ALERT_BAD_CERTIFICATE, deadline);
    throw Rejected(refusal);
  }
  status = QueryContextAttributesW(&context_, SECPKG_ATTR_STREAM_SIZES, &sizes_);
  if (status != SEC_E_OK) {
    throw Rejected("Schannel не назвал размеры записей TLS (" + StatusText(status) + ")");
  }
}

}  // namespace

void StartTlsClient(Socket& socket, const std::string& host, const std::string& pin,
                    Clock::time_point deadline) {
  std::string expected;
  try {
    expected = NormaliseFingerprint(pin);
  } catch (const Exception& error) {
    throw Rejected(error.Message());
  }
  auto session = std::make_unique<SchannelSession>();
  session->Handshake(socket, host, expected, deadline);
  socket.UseTls(TlsSessionPtr(session.release()));
}

}  // namespace tvx::example
