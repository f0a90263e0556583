// One element of a scenario document together with its JSON pointer, so
// that every complaint about it names its place.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace platform::sim::scenario {

using Json = nlohmann::ordered_json;

class Element {
 public:
  // codePage: the machine's ANSI code page, in which Text() gives the bytes.
  Element(const Json& value, std::string pointer, std::string name, std::uint32_t codePage = 1252);

  const Json& json() const { return *value_; }
  const std::string& pointer() const { return pointer_; }
  const std::string& name() const { return name_; }

  [[noreturn]] void Fail(const std::string& problem) const;

  // The element must be an object whose fields are all among allowed (a
  // "comment" field is always allowed and ignored).
  void ExpectObject(std::initializer_list<const char*> allowed) const;
  bool Has(const char* field) const;
  Element Field(const char* field) const;  // fails when missing
  std::optional<Element> Optional(const char* field) const;
  std::vector<Element> Items() const;  // the element must be a list

  // Text as the machine keeps it: bytes in its ANSI code page.
  std::string Text() const;
  // Text as the file holds it: UTF-8.
  std::string Utf8() const;
  bool Boolean() const;
  std::uint64_t Number(std::uint64_t minimum, std::uint64_t maximum) const;

 private:
  const Json* value_;
  std::string pointer_;
  std::string name_;
  std::uint32_t codePage_;
};

}  // namespace platform::sim::scenario
