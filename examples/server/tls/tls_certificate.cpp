#include "server/tls/tls_certificate.h"

#include <fcntl.h>
#include <unistd.h>

#include <openssl/bn.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <memory>

#include "protocol/tls.h"
#include "rtl/exceptions.h"
#include "server/common/private_folder.h"

namespace tvx::example {

const char kTlsUsage[] =
    "       tavolex_app_server tls make-cert --out DIR [--name HOST]\n"
    "  tls make-cert writes a self-signed certificate DIR/server.crt and its key DIR/server.key\n"
    "  (readable by its owner only) for HOST (default: this computer's name) and prints the\n"
    "  certificate's SHA-256 fingerprint, which clients pin (TavolexHost --tls-pin HEX). Then\n"
    "  run the server with --tls-cert DIR/server.crt --tls-key DIR/server.key.\n";

namespace {

struct KeyDeleter {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct CertificateDeleter {
  void operator()(X509* certificate) const { X509_free(certificate); }
};
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

[[noreturn]] void Fail(const std::string& what) {
  const unsigned long code = ERR_get_error();
  ERR_clear_error();
  const char* reason = code != 0 ? ERR_reason_error_string(code) : nullptr;
  throw Exception(what + (reason != nullptr ? std::string(": ") + reason : std::string()));
}

void AddExtension(X509* certificate, int nid, const std::string& value) {
  X509V3_CTX context;
  X509V3_set_ctx_nodb(&context);
  X509V3_set_ctx(&context, certificate, certificate, nullptr, nullptr, 0);
  X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value.c_str());
  if (extension == nullptr) Fail("extension " + value);
  const int added = X509_add_ext(certificate, extension, -1);
  X509_EXTENSION_free(extension);
  if (added != 1) Fail("extension " + value);
}

bool IsAddress(const std::string& host) {
  return host.find_first_not_of("0123456789.") == std::string::npos ||
         host.find(':') != std::string::npos;
}

// A new file for the owner, or one for everyone to read; never one that exists already.
std::unique_ptr<std::FILE, FileCloser> CreateNew(const std::filesystem::path& path, int mode) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0) {
    throw Exception(path.string() +
                    (errno == EEXIST ? " exists already: remove it first" : " cannot be created"));
  }
  std::FILE* file = ::fdopen(fd, "w");
  if (file == nullptr) {
    ::close(fd);
    throw Exception(path.string() + " cannot be written");
  }
  return std::unique_ptr<std::FILE, FileCloser>(file);
}

void Finish(std::unique_ptr<std::FILE, FileCloser> file, const std::filesystem::path& path) {
  const bool written = std::fflush(file.get()) == 0 && ::fsync(::fileno(file.get())) == 0;
  if (std::fclose(file.release()) != 0 || !written) {
    throw Exception(path.string() + " cannot be written");
  }
}

std::string ThisComputer() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "localhost";
  return name;
}

}  // namespace

MadeCertificate MakeSelfSignedCertificate(const std::filesystem::path& folder,
                                          const std::string& host) {
  const std::unique_ptr<EVP_PKEY, KeyDeleter> key(EVP_RSA_gen(2048));
  if (!key) Fail("no RSA key");
  const std::unique_ptr<X509, CertificateDeleter> certificate(X509_new());
  if (!certificate) Fail("no certificate");
  X509* cert = certificate.get();
  X509_set_version(cert, 2);
  const std::unique_ptr<BIGNUM, decltype(&BN_free)> serial(BN_new(), &BN_free);
  if (!serial || BN_rand(serial.get(), 127, BN_RAND_TOP_ANY, BN_RAND_BOTTOM_ANY) != 1 ||
      BN_to_ASN1_INTEGER(serial.get(), X509_get_serialNumber(cert)) == nullptr) {
    Fail("no serial number");
  }
  X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
  X509_gmtime_adj(X509_getm_notAfter(cert), 825L * 24 * 3600);
  X509_set_pubkey(cert, key.get());
  X509_NAME* name = X509_get_subject_name(cert);
  const auto* common_name = reinterpret_cast<const unsigned char*>(host.c_str());
  const auto* organisation =
      reinterpret_cast<const unsigned char*>("Tavolex example application server");
  if (X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8, common_name, -1, -1, 0) != 1 ||
      X509_NAME_add_entry_by_txt(name, "O", MBSTRING_UTF8, organisation, -1, -1, 0) != 1) {
    Fail("name " + host + " does not fit a certificate");
  }
  X509_set_issuer_name(cert, name);
  std::string names = (IsAddress(host) ? "IP:" : "DNS:") + host;
  if (host != "localhost") names += ",DNS:localhost";
  if (host != "127.0.0.1") names += ",IP:127.0.0.1";
  if (host != "::1") names += ",IP:::1";
  AddExtension(cert, NID_basic_constraints, "critical,CA:FALSE");
  AddExtension(cert, NID_key_usage, "critical,digitalSignature,keyEncipherment");
  AddExtension(cert, NID_ext_key_usage, "serverAuth");
  AddExtension(cert, NID_subject_key_identifier, "hash");
  AddExtension(cert, NID_subject_alt_name, names);
  if (X509_sign(cert, key.get(), EVP_sha256()) <= 0) Fail("the certificate cannot be signed");

  MadeCertificate made;
  made.certificate = folder / "server.crt";
  made.key = folder / "server.key";
  for (const auto& path : {made.key, made.certificate}) {
    if (std::filesystem::exists(path)) {
      throw Exception(path.string() + " exists already: remove it first");
    }
  }
  CreatePrivateFolder(folder);
  // The key first: a certificate is never left without its key.
  auto key_file = CreateNew(made.key, 0600);
  if (PEM_write_PrivateKey(key_file.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) != 1) {
    Fail(made.key.string() + " cannot be written");
  }
  Finish(std::move(key_file), made.key);
  auto certificate_file = CreateNew(made.certificate, 0644);
  if (PEM_write_X509(certificate_file.get(), cert) != 1) {
    Fail(made.certificate.string() + " cannot be written");
  }
  Finish(std::move(certificate_file), made.certificate);

  std::array<std::uint8_t, 32> digest{};
  unsigned length = 0;
  if (X509_digest(cert, EVP_sha256(), digest.data(), &length) != 1 || length != 32) {
    Fail("no fingerprint");
  }
  made.fingerprint = FingerprintText(digest);
  return made;
}

int RunTlsVerb(const std::vector<std::string>& arguments) {
  std::filesystem::path folder;
  std::string host;
  try {
    if (arguments.size() < 2 || arguments[1] != "make-cert") {
      throw Exception("tls: expected make-cert");
    }
    for (std::size_t i = 2; i < arguments.size(); ++i) {
      const std::string& option = arguments[i];
      if (i + 1 >= arguments.size()) throw Exception("option " + option + " needs a value");
      if (option == "--out") {
        folder = arguments[++i];
      } else if (option == "--name") {
        host = arguments[++i];
        if (host.empty()) throw Exception("option --name: expected a host name");
      } else {
        throw Exception("unknown option " + option);
      }
    }
    if (folder.empty()) throw Exception("tls make-cert: --out is needed");
  } catch (const Exception& error) {
    std::fprintf(stderr, "%s\nusage:\n%s", error.what(), kTlsUsage);
    return 2;
  }
  try {
    const MadeCertificate made =
        MakeSelfSignedCertificate(folder, host.empty() ? ThisComputer() : host);
    std::printf("certificate: %s\nkey: %s\nSHA-256 fingerprint: %s\n", made.certificate.c_str(),
                made.key.c_str(), made.fingerprint.c_str());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tavolex_app_server tls make-cert: %s\n", error.what());
    return 1;
  }
  return 0;
}

}  // namespace tvx::example
