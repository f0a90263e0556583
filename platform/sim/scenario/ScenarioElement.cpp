#include "platform/sim/scenario/ScenarioElement.h"

#include <cstdio>

#include "platform/sim/scenario/Scenario.h"
#include "platform/sim/scenario/ScenarioText.h"

namespace platform::sim::scenario {

namespace {

std::string EscapePointerToken(const std::string& token) {
  std::string escaped;
  for (char c : token) {
    if (c == '~') {
      escaped += "~0";
    } else if (c == '/') {
      escaped += "~1";
    } else {
      escaped += c;
    }
  }
  return escaped;
}

}  // namespace

Element::Element(const Json& value, std::string pointer, std::string name, std::uint32_t codePage)
    : value_(&value), pointer_(std::move(pointer)), name_(std::move(name)), codePage_(codePage) {}

void Element::Fail(const std::string& problem) const { throw ScenarioError(pointer_, problem); }

void Element::ExpectObject(std::initializer_list<const char*> allowed) const {
  if (!value_->is_object()) Fail(name_ + " must be an object");
  for (const auto& [key, unused] : value_->items()) {
    (void)unused;
    bool known = key == "comment";
    for (const char* field : allowed) known = known || key == field;
    if (!known) {
      throw ScenarioError(pointer_ + "/" + EscapePointerToken(key), "unknown field '" + key + "'");
    }
  }
}

bool Element::Has(const char* field) const {
  return value_->is_object() && value_->contains(field);
}

Element Element::Field(const char* field) const {
  if (!Has(field)) Fail("missing field '" + std::string(field) + "'");
  return Element(value_->at(field), pointer_ + "/" + EscapePointerToken(field), field, codePage_);
}

std::optional<Element> Element::Optional(const char* field) const {
  if (!Has(field)) return std::nullopt;
  return Field(field);
}

std::vector<Element> Element::Items() const {
  if (!value_->is_array()) Fail(name_ + " must be a list");
  std::vector<Element> items;
  for (std::size_t i = 0; i < value_->size(); ++i) {
    items.emplace_back(value_->at(i), pointer_ + "/" + std::to_string(i), name_ + " item",
                       codePage_);
  }
  return items;
}

std::string Element::Text() const {
  if (!value_->is_string()) Fail(name_ + " must be text");
  std::uint32_t bad = 0;
  std::optional<std::string> ansi =
      AnsiFromUtf8(value_->get_ref<const std::string&>(), codePage_, &bad);
  if (!ansi) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(bad));
    Fail(name_ + " holds " + code + ", which Windows-" + std::to_string(codePage_) +
         " cannot store");
  }
  return *ansi;
}

std::string Element::Utf8() const {
  if (!value_->is_string()) Fail(name_ + " must be text");
  return value_->get<std::string>();
}

bool Element::Boolean() const {
  if (!value_->is_boolean()) Fail(name_ + " must be true or false");
  return value_->get<bool>();
}

std::uint64_t Element::Number(std::uint64_t minimum, std::uint64_t maximum) const {
  const std::string range = std::to_string(minimum) + " to " + std::to_string(maximum);
  if (!value_->is_number_integer() ||
      (value_->is_number_integer() && !value_->is_number_unsigned() &&
       value_->get<std::int64_t>() < 0)) {
    Fail(name_ + " must be a whole number from " + range);
  }
  const std::uint64_t number = value_->get<std::uint64_t>();
  if (number < minimum || number > maximum) Fail(name_ + " must be a whole number from " + range);
  return number;
}

}  // namespace platform::sim::scenario
