#include "net/ByteForms.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace net {

namespace {

// Native byte order is little-endian on every target we build for (x86 and
// x86-64), so copying the object representation gives the wire form.
template <typename T>
void Append(Bytes& bytes, const T& value) {
  const auto* first = reinterpret_cast<const std::uint8_t*>(&value);
  bytes.insert(bytes.end(), first, first + sizeof(T));
}

template <typename T>
T Read(const Bytes& bytes) {
  T value{};
  std::memcpy(&value, bytes.data(), sizeof(T));
  return value;
}

}  // namespace

bool ToBytes(const Variant& value, Bytes& bytes) {
  bytes.clear();
  switch (value.Type()) {
    case vbInteger:
      Append(bytes, value.Get<std::int16_t>());
      return true;
    case vbLong:
      Append(bytes, value.Get<std::int32_t>());
      return true;
    case vbSingle:
      Append(bytes, value.Get<float>());
      return true;
    case vbDouble:
      Append(bytes, value.Get<double>());
      return true;
    case vbCurrency:
      Append(bytes, value.Get<Currency>().scaled);
      return true;
    case vbDate:
      Append(bytes, value.Get<Date>().days);
      return true;
    case vbString: {
      const std::string& text = value.Get<std::string>();
      bytes.assign(text.begin(), text.end());
      return true;
    }
    case vbBoolean:
      Append(bytes, static_cast<std::int16_t>(value.Get<bool>() ? -1 : 0));
      return true;
    case vbByte:
      bytes.push_back(value.Get<std::uint8_t>());
      return true;
    case vbByteArray:
      bytes = value.Get<Bytes>();
      return true;
    default:
      return false;
  }
}

std::size_t FixedSize(std::int32_t type) {
  switch (type) {
    case vbInteger:
    case vbBoolean:
      return 2;
    case vbLong:
    case vbSingle:
      return 4;
    case vbDouble:
    case vbCurrency:
    case vbDate:
      return 8;
    case vbByte:
      return 1;
    default:
      return 0;
  }
}

std::size_t ReadLength(std::int32_t type, std::size_t waiting, std::optional<std::size_t> maxLen) {
  if (type == vbString || type == vbByteArray) return maxLen ? std::min(waiting, *maxLen) : waiting;
  const std::size_t size = FixedSize(type);
  return waiting < size ? 0 : size;
}

Variant FromBytes(std::int32_t type, const Bytes& bytes) {
  switch (type) {
    case vbInteger:
      return Read<std::int16_t>(bytes);
    case vbLong:
      return Read<std::int32_t>(bytes);
    case vbSingle:
      return Read<float>(bytes);
    case vbDouble:
      return Read<double>(bytes);
    case vbCurrency:
      return Currency{Read<std::int64_t>(bytes)};
    case vbDate:
      return Date{Read<double>(bytes)};
    case vbBoolean:
      return Read<std::int16_t>(bytes) != 0;
    case vbByte:
      return bytes.at(0);
    case vbString:
      return std::string(bytes.begin(), bytes.end());
    default:
      return bytes;
  }
}

}  // namespace net
