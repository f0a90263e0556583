// The byte forms of the value types on the wire: little-endian numbers, text
// as one byte per character, Boolean as two bytes of all ones or all zeros.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "net/Variant.h"

namespace net {

using Bytes = std::vector<std::uint8_t>;

// The bytes of a value; false when its type has no byte form.
bool ToBytes(const Variant& value, Bytes& bytes);

// The size of a fixed-size type (2, 3, 4, 5, 6, 7, 11, 17); 0 for any other.
std::size_t FixedSize(std::int32_t type);

// How many of the waiting bytes a read into the given type takes: text and
// byte arrays as many as wait, but no more than the maximum length when one is
// given; a fixed-size type exactly its size, or nothing while fewer wait. The
// maximum length plays no part for a fixed-size type; 0 for any other type.
std::size_t ReadLength(std::int32_t type, std::size_t waiting, std::optional<std::size_t> maxLen);

// A value of the given type made from its bytes; for a fixed-size type the
// bytes are exactly FixedSize(type) long.
Variant FromBytes(std::int32_t type, const Bytes& bytes);

}  // namespace net
