// The Windows build of the sim: no crypto library, so no AES provider.
#include "platform/sim/SimSignatures.h"

namespace platform::sim {

bool SimHasSignatures() { return false; }

std::vector<std::uint8_t> Sha256Of(std::string_view) { return {}; }

bool RsaSha256SignatureHolds(const std::vector<std::uint8_t>&, std::uint32_t,
                             const std::vector<std::uint8_t>&, const std::vector<std::uint8_t>&) {
  return false;
}

}  // namespace platform::sim
