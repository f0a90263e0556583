// A publisher for the tests: a fresh RSA key pair of its own (made with
// OpenSSL when first asked for), the public half as the PUBLICKEYBLOB the
// program is given, and signatures of feed bodies as the publisher's tool
// writes them. Native build only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quellix::update::test {

class TestPublisher {
 public:
  // One key pair for the whole test program: making one takes a while.
  static const TestPublisher& Get();

  std::vector<std::uint8_t> PublicKeyBlob() const { return blob_; }
  // The signature file's text for this body: hexadecimal and CR LF.
  std::string SignatureText(const std::string& body) const;

  ~TestPublisher();
  TestPublisher(const TestPublisher&) = delete;
  TestPublisher& operator=(const TestPublisher&) = delete;

 private:
  TestPublisher();
  struct Key;
  std::unique_ptr<Key> key_;
  std::vector<std::uint8_t> blob_;
};

}  // namespace quellix::update::test
