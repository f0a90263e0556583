// Reading a file whole through the platform, and the MD5 digest that the
// restore record keeps of every copy, made by the platform's cryptographic
// provider.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform.h"

namespace platform::restore {

// The file's bytes; false when it cannot be opened or read to its end.
bool ReadWholeFile(Platform& platform, const std::string& path, std::string* bytes);

// The MD5 digest of bytes as 32 upper-case hexadecimal digits; "" when the
// provider fails.
std::string Md5Of(Platform& platform, const std::string& bytes);

}  // namespace platform::restore
