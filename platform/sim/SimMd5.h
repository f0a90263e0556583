// MD5 as published in RFC 1321, for the sim's CryptoAPI provider. It is our
// own small implementation so that the sim builds the same for Linux and for
// Windows without a crypto library.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace platform::sim {

class Md5 {
 public:
  Md5();
  void Update(const std::uint8_t* data, std::size_t length);
  // The 16 digest bytes. The object must not be updated afterwards.
  std::array<std::uint8_t, 16> Finish();

 private:
  void Transform(const std::uint8_t* block);

  std::array<std::uint32_t, 4> state_;
  std::uint64_t length_ = 0;  // bytes hashed so far
  std::array<std::uint8_t, 64> buffer_{};
  std::size_t buffered_ = 0;
};

}  // namespace platform::sim
