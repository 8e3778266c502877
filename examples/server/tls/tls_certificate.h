// A self-signed certificate for the server's TLS, made by the admin verb
//   tavolex_app_server tls make-cert --out DIR [--name HOST]
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tvx::example {

struct MadeCertificate {
  std::filesystem::path certificate;  // DIR/server.crt, PEM
  std::filesystem::path key;          // DIR/server.key, PEM, mode 0600
  std::string fingerprint;            // SHA-256 of the certificate, 64 lower-case hex digits
};

// Makes an RSA key of 2048 bits and a certificate for it, signed with itself (SHA-256), valid
// from an hour ago for 825 days, for the name `host` (its common name, and a DNS name or an
// IP address in its alternative names, beside localhost, 127.0.0.1 and ::1). Creates the
// folder (0700) when it is missing; raises Exception when either file exists already or
// cannot be written.
MadeCertificate MakeSelfSignedCertificate(const std::filesystem::path& folder,
                                          const std::string& host);

// The verb on the command line after "tls": prints the files and the fingerprint; returns the
// exit status (0 done, 1 failed, 2 wrong command line).
int RunTlsVerb(const std::vector<std::string>& arguments);

extern const char kTlsUsage[];

}  // namespace tvx::example
