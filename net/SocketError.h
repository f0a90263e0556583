// A failure raised by the socket object or its registry to the caller: the
// classic socket error number (or one of the object's own), its English text
// and the routine that raised it.
#pragma once

#include <string>

#include "platform/RuntimeError.h"

namespace net {

class SocketError : public platform::RuntimeError {
 public:
  SocketError(long number, const std::string& description, const std::string& source)
      : platform::RuntimeError(number, description, source) {}
};

// The object's own failure numbers and texts.
constexpr long kErrOutOfMemory = 7;
constexpr long kErrWrongState = 40006;
constexpr long kErrArgument = 40014;
constexpr long kErrVariantType = 40018;
constexpr long kErrInvalidState = 40020;

constexpr const char* kTextOutOfMemory = "Out of memory";
constexpr const char* kTextWrongState =
    "Wrong protocol or connection state for the requested transaction or request";
constexpr const char* kTextArgumentRange =
    "The argument passed to a function was not in the correct format or in the specified "
    "range.";
constexpr const char* kTextInvalidArgument = "Invalid argument";
constexpr const char* kTextVariantType = "Unsupported variant type.";
constexpr const char* kTextInvalidState = "Invalid operation at current state";

}  // namespace net
