// The value that SendData, GetData and PeekData exchange with the application:
// one of the types the socket object can turn into bytes and back, tagged with
// the type code of the classic variant numbering.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace net {

enum VariantType : std::int32_t {
  vbEmpty = 0,
  vbInteger = 2,
  vbLong = 3,
  vbSingle = 4,
  vbDouble = 5,
  vbCurrency = 6,
  vbDate = 7,
  vbString = 8,
  vbBoolean = 11,
  vbByte = 17,
  vbLongArray = 8195,
  vbByteArray = 8209,
};

// Currency: the value times 10,000 in a 64-bit integer.
struct Currency {
  std::int64_t scaled = 0;
  bool operator==(const Currency& other) const { return scaled == other.scaled; }
};

// Date: days since 30 December 1899, the fraction being the time of day.
struct Date {
  double days = 0;
  bool operator==(const Date& other) const { return days == other.days; }
};

class Variant {
 public:
  Variant() = default;
  Variant(std::int16_t value) : value_(value) {}
  Variant(std::int32_t value) : value_(value) {}
  Variant(float value) : value_(value) {}
  Variant(double value) : value_(value) {}
  Variant(Currency value) : value_(value) {}
  Variant(Date value) : value_(value) {}
  Variant(std::string value) : value_(std::move(value)) {}
  Variant(const char* value) : value_(std::string(value)) {}
  Variant(bool value) : value_(value) {}
  Variant(std::uint8_t value) : value_(value) {}
  Variant(std::vector<std::uint8_t> value) : value_(std::move(value)) {}
  // An array of 32-bit integers: a type the socket object refuses.
  Variant(std::vector<std::int32_t> value) : value_(std::move(value)) {}

  // The classic type code; 0 when the variant holds nothing.
  std::int32_t Type() const;
  bool IsEmpty() const { return Type() == vbEmpty; }

  // True for the numeric types and for text that reads as a number.
  bool IsNumeric() const;
  // The value as a number; only meaningful when IsNumeric() is true.
  double ToNumber() const;
  // The value as text: numbers in their usual decimal form, text as it is.
  std::string ToText() const;

  template <typename T>
  const T& Get() const {
    return std::get<T>(value_);
  }

  bool operator==(const Variant& other) const { return value_ == other.value_; }

 private:
  std::variant<std::monostate, std::int16_t, std::int32_t, float, double, Currency, Date,
               std::string, bool, std::uint8_t, std::vector<std::uint8_t>,
               std::vector<std::int32_t>>
      value_;
};

}  // namespace net
