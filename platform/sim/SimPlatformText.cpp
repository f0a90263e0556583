// The system's ANSI code page of the simulated machine.
#include "platform/sim/SimCodePages.h"
#include "platform/sim/SimPlatform.h"

namespace platform::sim {

std::uint32_t SimPlatform::GetACP() { return machine_.ansiCodePage; }

std::u16string SimPlatform::MultiByteToWideChar(std::uint32_t codePage, const std::string& text) {
  return DecodeAnsi(codePage == kCpAcp ? machine_.ansiCodePage : codePage, text);
}

std::string SimPlatform::CharLowerBuffA(const std::string& text) {
  return LowerAnsiText(machine_.ansiCodePage, text);
}

}  // namespace platform::sim
