#include "platform/sim/SimCodePages.h"

namespace platform::sim {
namespace {

using namespace codepages;

constexpr std::uint32_t kWestern = 1252;
constexpr std::uint32_t kCyrillic = 1251;
constexpr std::uint32_t kSimplifiedChinese = 936;
constexpr char16_t kEuroSign = 0x20AC;  // the one single byte of 936 above 0x7F
constexpr char16_t kUndefined = u'?';

bool IsLeadByte(unsigned char byte) { return byte >= kFirstLead && byte <= kLastLead; }

// The UTF-16 unit of a lead and trail byte, or "?" for an undefined pair.
char16_t PairUnit(unsigned char lead, unsigned char trail) {
  if (trail < kFirstTrail || trail > kLastTrail) return kUndefined;
  return kCp936Pairs[(lead - kFirstLead) * kTrailsPerLead + (trail - kFirstTrail)];
}

// Lower case of the letters a double-byte code page carries beyond ASCII:
// full-width Latin, Greek and Cyrillic.
char16_t LowerUnit(char16_t unit) {
  if (unit >= 0xFF21 && unit <= 0xFF3A) return static_cast<char16_t>(unit + 0x20);
  if (unit >= 0x0391 && unit <= 0x03A9 && unit != 0x03A2) return static_cast<char16_t>(unit + 0x20);
  if (unit >= 0x0410 && unit <= 0x042F) return static_cast<char16_t>(unit + 0x20);
  if (unit == 0x0401) return 0x0451;
  return unit;
}

// The pair of the same lead byte that stands for the lower-case letter, if any.
bool LowerPair(unsigned char lead, unsigned char* trail) {
  const char16_t lower = LowerUnit(PairUnit(lead, *trail));
  if (lower == PairUnit(lead, *trail)) return false;
  for (unsigned candidate = kFirstTrail; candidate <= kLastTrail; ++candidate) {
    if (PairUnit(lead, static_cast<unsigned char>(candidate)) == lower) {
      *trail = static_cast<unsigned char>(candidate);
      return true;
    }
  }
  return false;
}

const char16_t* SingleByteUnits(std::uint32_t codePage) {
  return codePage == kCyrillic ? kCp1251Units : kCp1252Units;
}

const unsigned char* SingleByteLower(std::uint32_t codePage) {
  return codePage == kCyrillic ? kCp1251Lower : kCp1252Lower;
}

}  // namespace

bool IsSupportedCodePage(std::uint32_t codePage) {
  return codePage == kWestern || codePage == kCyrillic || codePage == kSimplifiedChinese;
}

std::u16string DecodeAnsi(std::uint32_t codePage, std::string_view text) {
  std::u16string wide;
  wide.reserve(text.size());
  if (codePage != kSimplifiedChinese) {
    const char16_t* units = SingleByteUnits(codePage);
    for (char c : text) wide += units[static_cast<unsigned char>(c)];
    return wide;
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      wide += static_cast<char16_t>(byte);
    } else if (byte == 0x80) {
      wide += kEuroSign;
    } else if (IsLeadByte(byte) && i + 1 < text.size()) {
      wide += PairUnit(byte, static_cast<unsigned char>(text[++i]));
    } else {
      wide += kUndefined;
    }
  }
  return wide;
}

std::string LowerAnsiText(std::uint32_t codePage, std::string_view text) {
  std::string lower(text);
  if (codePage != kSimplifiedChinese) {
    const unsigned char* table = SingleByteLower(codePage);
    for (char& c : lower) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
    return lower;
  }
  for (std::size_t i = 0; i < lower.size(); ++i) {
    const auto byte = static_cast<unsigned char>(lower[i]);
    if (byte >= 'A' && byte <= 'Z') {
      lower[i] = static_cast<char>(byte + 0x20);
    } else if (IsLeadByte(byte) && i + 1 < lower.size()) {
      auto trail = static_cast<unsigned char>(lower[i + 1]);
      if (LowerPair(byte, &trail)) lower[i + 1] = static_cast<char>(trail);
      ++i;
    }
  }
  return lower;
}

bool EncodeAnsiUnit(std::uint32_t codePage, char16_t unit, std::string* bytes) {
  if (unit < 0x80) {
    *bytes += static_cast<char>(unit);
    return true;
  }
  if (codePage != kSimplifiedChinese) {
    const char16_t* units = SingleByteUnits(codePage);
    for (unsigned byte = 0x80; byte < 0x100; ++byte) {
      if (units[byte] == unit) {
        *bytes += static_cast<char>(byte);
        return true;
      }
    }
    return false;
  }
  if (unit == kEuroSign) {
    *bytes += static_cast<char>(0x80);
    return true;
  }
  if (unit == kUndefined) return false;
  for (unsigned lead = kFirstLead; lead <= kLastLead; ++lead) {
    for (unsigned trail = kFirstTrail; trail <= kLastTrail; ++trail) {
      if (PairUnit(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)) == unit) {
        *bytes += static_cast<char>(lead);
        *bytes += static_cast<char>(trail);
        return true;
      }
    }
  }
  return false;
}

}  // namespace platform::sim
