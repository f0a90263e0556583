#include "net/Variant.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace net {

namespace {

// Text that reads as a whole number, surrounded by blanks at most.
bool ParseNumber(const std::string& text, double& number) {
  const char* begin = text.c_str();
  while (*begin == ' ' || *begin == '\t') ++begin;
  if (*begin == '\0') return false;
  char* end = nullptr;
  number = std::strtod(begin, &end);
  while (*end == ' ' || *end == '\t') ++end;
  return *end == '\0' && std::isfinite(number);
}

}  // namespace

std::int32_t Variant::Type() const {
  static constexpr std::int32_t kCodes[] = {vbEmpty,   vbInteger,  vbLong,      vbSingle,
                                            vbDouble,  vbCurrency, vbDate,      vbString,
                                            vbBoolean, vbByte,     vbByteArray, vbLongArray};
  return kCodes[value_.index()];
}

bool Variant::IsNumeric() const {
  switch (Type()) {
    case vbInteger:
    case vbLong:
    case vbSingle:
    case vbDouble:
    case vbCurrency:
    case vbBoolean:
    case vbByte:
      return true;
    case vbString: {
      double number = 0;
      return ParseNumber(Get<std::string>(), number);
    }
    default:
      return false;
  }
}

double Variant::ToNumber() const {
  switch (Type()) {
    case vbInteger:
      return Get<std::int16_t>();
    case vbLong:
      return Get<std::int32_t>();
    case vbSingle:
      return Get<float>();
    case vbDouble:
      return Get<double>();
    case vbCurrency:
      return static_cast<double>(Get<Currency>().scaled) / 10000.0;
    case vbDate:
      return Get<Date>().days;
    case vbBoolean:
      return Get<bool>() ? -1 : 0;
    case vbByte:
      return Get<std::uint8_t>();
    case vbString: {
      double number = 0;
      return ParseNumber(Get<std::string>(), number) ? number : 0;
    }
    default:
      return 0;
  }
}

std::string Variant::ToText() const {
  switch (Type()) {
    case vbString:
      return Get<std::string>();
    case vbBoolean:
      return Get<bool>() ? "True" : "False";
    case vbEmpty:
    case vbByteArray:
    case vbLongArray:
      return std::string();
    default: {
      std::ostringstream text;
      text.precision(15);
      text << ToNumber();
      return text.str();
    }
  }
}

}  // namespace net
