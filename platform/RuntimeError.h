// An unexpected failure: a number, a description and the routine it came from.
// Expected failures are handled where they occur; these pass up to the caller.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace platform {

class RuntimeError : public std::runtime_error {
 public:
  RuntimeError(std::int64_t number, const std::string& description, const std::string& source)
      : std::runtime_error(source + ": " + description + " (" + std::to_string(number) + ")"),
        number_(number),
        description_(description),
        source_(source) {}

  std::int64_t Number() const { return number_; }
  const std::string& Description() const { return description_; }
  const std::string& Source() const { return source_; }

 private:
  std::int64_t number_;
  std::string description_;
  std::string source_;
};

}  // namespace platform
