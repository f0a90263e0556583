// What the sim's AES provider computes with: SHA-256 and the check of an RSA
// signature (PKCS #1 v1.5), taken from a crypto library, never computed by
// hand. The native build has them from OpenSSL; the Windows build of the sim
// has no library for them and so no AES provider, like Windows before XP SP3.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace platform::sim {

bool SimHasSignatures();
std::vector<std::uint8_t> Sha256Of(std::string_view data);
// True when signature (most significant byte first) is the PKCS #1 v1.5
// signature of the SHA-256 digest under the key (modulus most significant
// byte first, exponent).
bool RsaSha256SignatureHolds(const std::vector<std::uint8_t>& modulus, std::uint32_t exponent,
                             const std::vector<std::uint8_t>& digest,
                             const std::vector<std::uint8_t>& signature);

}  // namespace platform::sim
