#include "platform/sim/scenario/ScenarioText.h"

#include "platform/sim/SimCodePages.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimText.h"

namespace platform::sim::scenario {

namespace {

// The code points of Windows-1252 bytes 0x80-0x9F; the undefined ones map to
// the C1 control of the same number.
constexpr std::uint32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::uint32_t CodePointOfByte(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return kHighControls[byte - 0x80];
  return byte;
}

void AppendUtf8(std::string& out, std::uint32_t codePoint) {
  if (codePoint < 0x80) {
    out += static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    out += static_cast<char>(0xC0 | (codePoint >> 6));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    out += static_cast<char>(0xE0 | (codePoint >> 12));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (codePoint >> 18));
    out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
}

std::optional<unsigned char> ByteOfCodePoint(std::uint32_t codePoint) {
  if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
    return static_cast<unsigned char>(codePoint);
  }
  for (unsigned char i = 0; i < 32; ++i) {
    if (kHighControls[i] == codePoint) return static_cast<unsigned char>(0x80 + i);
  }
  return std::nullopt;
}

// The code points of UTF-8 text that nlohmann-json has already validated.
std::vector<std::uint32_t> CodePoints(std::string_view utf8) {
  std::vector<std::uint32_t> points;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    std::uint32_t point = length == 4   ? lead & 0x07
                          : length == 3 ? lead & 0x0F
                          : length == 2 ? lead & 0x1F
                                        : lead;
    for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k) {
      point = (point << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    }
    points.push_back(point);
    i += length;
  }
  return points;
}

constexpr char kBase64Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

struct NamedValue {
  const char* name;
  std::uint32_t value;
};

constexpr NamedValue kAttributeNames[] = {
    {"readonly", 0x01}, {"hidden", 0x02},     {"system", 0x04},    {"archive", 0x20},
    {"normal", 0x80},   {"temporary", 0x100}, {"offline", 0x1000}, {"notContentIndexed", 0x2000},
};

constexpr NamedValue kDriveTypeNames[] = {
    {"unknown", 0}, {"noRootDir", 1}, {"removable", 2}, {"fixed", 3},
    {"remote", 4},  {"cdrom", 5},     {"ramdisk", 6},
};

}  // namespace

std::string Utf8FromAnsi(std::string_view ansi) {
  std::string out;
  for (char c : ansi) AppendUtf8(out, CodePointOfByte(static_cast<unsigned char>(c)));
  return out;
}

std::optional<std::string> AnsiFromUtf8(std::string_view utf8, std::uint32_t* badCodePoint) {
  std::string out;
  for (std::uint32_t codePoint : CodePoints(utf8)) {
    const std::optional<unsigned char> byte = ByteOfCodePoint(codePoint);
    if (!byte) {
      if (badCodePoint != nullptr) *badCodePoint = codePoint;
      return std::nullopt;
    }
    out += static_cast<char>(*byte);
  }
  return out;
}

std::optional<std::string> Utf8FromUtf16(const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() % 2 != 0) return std::nullopt;
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    std::uint32_t unit = bytes[i] | static_cast<std::uint32_t>(bytes[i + 1]) << 8;
    if (unit >= 0xDC00 && unit <= 0xDFFF) return std::nullopt;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      if (i + 3 >= bytes.size()) return std::nullopt;
      const std::uint32_t low = bytes[i + 2] | static_cast<std::uint32_t>(bytes[i + 3]) << 8;
      if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
      unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    }
    AppendUtf8(out, unit);
  }
  return out;
}

std::vector<std::uint8_t> Utf16FromUtf8(std::string_view utf8) {
  std::vector<std::uint8_t> bytes;
  auto put = [&](std::uint32_t unit) {
    bytes.push_back(static_cast<std::uint8_t>(unit));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  };
  for (std::uint32_t point : CodePoints(utf8)) {
    if (point >= 0x10000) {
      put(0xD800 + ((point - 0x10000) >> 10));
      put(0xDC00 + ((point - 0x10000) & 0x3FF));
    } else {
      put(point);
    }
  }
  return bytes;
}

std::vector<std::string> SplitAfterLineFeeds(std::string_view text) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t feed = text.find('\n', start);
    const std::size_t end = feed == std::string_view::npos ? text.size() : feed + 1;
    pieces.emplace_back(text.substr(start, end - start));
    start = end;
  }
  return pieces;
}

std::string EncodeBase64(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::uint32_t chunk = static_cast<std::uint32_t>(bytes[i]) << 16 |
                                (i + 1 < bytes.size() ? bytes[i + 1] << 8 : 0) |
                                (i + 2 < bytes.size() ? bytes[i + 2] : 0);
    text += kBase64Digits[(chunk >> 18) & 0x3F];
    text += kBase64Digits[(chunk >> 12) & 0x3F];
    text += i + 1 < bytes.size() ? kBase64Digits[(chunk >> 6) & 0x3F] : '=';
    text += i + 2 < bytes.size() ? kBase64Digits[chunk & 0x3F] : '=';
  }
  return text;
}

std::optional<std::vector<std::uint8_t>> DecodeBase64(std::string_view text) {
  std::vector<std::uint8_t> bytes;
  std::uint32_t chunk = 0;
  int bits = 0;
  std::size_t padding = 0;
  std::size_t digits = 0;
  for (char c : text) {
    if (c == ' ' || c == '\n' || c == '\r' || c == '\t') continue;
    if (c == '=') {
      ++padding;
      continue;
    }
    const int value = Base64Value(c);
    if (value < 0 || padding > 0) return std::nullopt;
    chunk = (chunk << 6) | static_cast<std::uint32_t>(value);
    ++digits;
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      bytes.push_back(static_cast<std::uint8_t>(chunk >> bits));
    }
  }
  // A lone digit in the last group carries less than one byte.
  if (padding > 2 || digits % 4 == 1) return std::nullopt;
  return bytes;
}

std::optional<std::vector<std::uint8_t>> DecodeHex(std::string_view text) {
  std::vector<std::uint8_t> bytes;
  int pending = -1;
  for (char c : text) {
    if (c == ' ') {
      if (pending >= 0) return std::nullopt;
      continue;
    }
    const int value = HexValue(c);
    if (value < 0) return std::nullopt;
    if (pending < 0) {
      pending = value;
    } else {
      bytes.push_back(static_cast<std::uint8_t>(pending << 4 | value));
      pending = -1;
    }
  }
  if (pending >= 0) return std::nullopt;
  return bytes;
}

std::string EncodeHex(const std::vector<std::uint8_t>& bytes) { return HexBytes(bytes); }

std::optional<std::uint32_t> RegistryTypeFromName(std::string_view name) {
  for (std::uint32_t type = 0; type <= 11; ++type) {
    if (RegistryTypeName(type) == name) return type;
  }
  return std::nullopt;
}

std::optional<std::uint32_t> AttributeFromName(std::string_view name) {
  for (const NamedValue& entry : kAttributeNames) {
    if (name == entry.name) return entry.value;
  }
  return std::nullopt;
}

std::optional<std::vector<std::string>> AttributeNames(std::uint32_t attributes) {
  std::vector<std::string> names;
  std::uint32_t covered = 0;
  for (const NamedValue& entry : kAttributeNames) {
    if (attributes & entry.value) {
      names.push_back(entry.name);
      covered |= entry.value;
    }
  }
  if (covered != attributes) return std::nullopt;
  return names;
}

std::optional<std::uint32_t> DriveTypeFromName(std::string_view name) {
  for (const NamedValue& entry : kDriveTypeNames) {
    if (name == entry.name) return entry.value;
  }
  return std::nullopt;
}

std::string DriveTypeName(std::uint32_t type) {
  for (const NamedValue& entry : kDriveTypeNames) {
    if (type == entry.value) return entry.name;
  }
  return std::to_string(type);
}

bool LooksLikeText(const std::vector<std::uint8_t>& bytes) {
  for (std::uint8_t byte : bytes) {
    if (byte < 0x20 && byte != '\t' && byte != '\r' && byte != '\n' && byte != 0x1A) return false;
  }
  return true;
}

std::string Utf8FromAnsi(std::string_view ansi, std::uint32_t codePage) {
  if (codePage == 1252) return Utf8FromAnsi(ansi);
  std::string out;
  for (char16_t unit : DecodeAnsi(codePage, ansi)) AppendUtf8(out, unit);
  return out;
}

std::optional<std::string> AnsiFromUtf8(std::string_view utf8, std::uint32_t codePage,
                                        std::uint32_t* badCodePoint) {
  if (codePage == 1252) return AnsiFromUtf8(utf8, badCodePoint);
  std::string ansi;
  for (std::uint32_t point : CodePoints(utf8)) {
    if (point > 0xFFFF || !EncodeAnsiUnit(codePage, static_cast<char16_t>(point), &ansi)) {
      *badCodePoint = point;
      return std::nullopt;
    }
  }
  return ansi;
}

}  // namespace platform::sim::scenario
