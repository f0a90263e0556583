// GetData's conversions: whatever bytes wait, whatever type is asked for and
// whatever maximum length is given, a read takes only bytes that wait, text
// and byte arrays take as many as wait up to the maximum, a fixed-size value
// is made only from all of its bytes, and the value holds exactly the bytes
// taken. The first input byte picks the type, the second says whether a
// maximum length is given, the next two are that length, the rest waits.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "net/ByteForms.h"
#include "net/Variant.h"
#include "tests/fuzz/FuzzMachine.h"

namespace {

struct WireType {
  std::int32_t code;
  std::size_t size;  // 0: as many bytes as wait
};

// The wire sizes written apart from the converter's, and codes it must refuse.
constexpr WireType kTypes[] = {
    {net::vbInteger, 2},
    {net::vbLong, 4},
    {net::vbSingle, 4},
    {net::vbDouble, 8},
    {net::vbCurrency, 8},
    {net::vbDate, 8},
    {net::vbString, 0},
    {net::vbBoolean, 2},
    {net::vbByte, 1},
    {net::vbByteArray, 0},
    {net::vbEmpty, 0},
    {net::vbLongArray, 0},
    {9, 0},
    {-2, 0},
};

bool Refused(std::int32_t code) {
  return code == net::vbEmpty || code == net::vbLongArray || code == 9 || code == -2;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using quellix::fuzz::Broken;
  if (size < 4) return 0;
  const WireType type = kTypes[data[0] % (sizeof(kTypes) / sizeof(kTypes[0]))];
  std::optional<std::size_t> maxLen;
  if (data[1] & 1) maxLen = static_cast<std::size_t>(data[2] | (data[3] << 8));
  const net::Bytes waiting(data + 4, data + size);
  const std::string what = "type " + std::to_string(type.code) + ", " +
                           std::to_string(waiting.size()) + " bytes waiting: ";

  const std::size_t count = net::ReadLength(type.code, waiting.size(), maxLen);
  if (count > waiting.size()) Broken(what + "a read takes more bytes than wait");
  if (Refused(type.code)) {
    if (count != 0 || net::FixedSize(type.code) != 0) Broken(what + "a type with no byte form");
    return 0;
  }
  if (type.size == 0) {
    const std::size_t expected = maxLen ? std::min(waiting.size(), *maxLen) : waiting.size();
    if (count != expected) Broken(what + "text or bytes not taken up to the maximum length");
  } else {
    if (net::FixedSize(type.code) != type.size) Broken(what + "the wrong size for a fixed type");
    if (count != (waiting.size() < type.size ? 0 : type.size))
      Broken(what + "a fixed-size value not read whole or from too few bytes");
  }
  if (count == 0) return 0;

  // An area of exactly the bytes taken, so that reading past it is a finding.
  const net::Bytes taken(waiting.begin(), waiting.begin() + static_cast<std::ptrdiff_t>(count));
  const net::Variant value = net::FromBytes(type.code, taken);
  if (value.Type() != type.code) Broken(what + "the value is of another type");
  net::Bytes back;
  if (!net::ToBytes(value, back)) Broken(what + "the value has no byte form");
  if (type.code == net::vbBoolean) {
    const bool set = taken[0] != 0 || taken[1] != 0;
    if (back != net::Bytes(2, set ? 0xFF : 0x00)) Broken(what + "a Boolean not read as set");
  } else if (back != taken) {
    Broken(what + "the value does not hold the bytes taken");
  }
  return 0;
}
