#include "platform/restore/RestoreRecord.h"

#include <cstdlib>

namespace platform::restore {
namespace {

constexpr const char* kHeader = "Quellix restore record";
constexpr const char* kHexDigits = "0123456789abcdef";
constexpr const char* kUpperHexDigits = "0123456789ABCDEF";
constexpr char kSeparator = '\t';

// Fields are split at tabs and items at line feeds, so text fields carry
// those, the percent sign and the other control bytes as %XX.
std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || c == '%') {
      out += '%';
      out += kUpperHexDigits[byte >> 4];
      out += kUpperHexDigits[byte & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool Unescaped(const std::string& text, std::string* out) {
  out->clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      *out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return false;
    const int high = HexValue(text[i + 1]);
    const int low = HexValue(text[i + 2]);
    if (high < 0 || low < 0) return false;
    *out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return true;
}

std::string Hex(const std::vector<std::uint8_t>& data) {
  std::string out;
  for (std::uint8_t byte : data) {
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0xF];
  }
  return out;
}

bool FromHex(const std::string& text, std::vector<std::uint8_t>* data) {
  if (text.size() % 2 != 0) return false;
  data->clear();
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = HexValue(text[i]);
    const int low = HexValue(text[i + 1]);
    if (high < 0 || low < 0) return false;
    data->push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  return true;
}

bool Number(const std::string& text, std::uint64_t* value) {
  if (text.empty() || text.size() > 20 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  *value = std::strtoull(text.c_str(), nullptr, 10);
  return true;
}

bool Number32(const std::string& text, std::uint32_t* value) {
  std::uint64_t wide = 0;
  if (!Number(text, &wide) || wide > UINT32_MAX) return false;
  *value = static_cast<std::uint32_t>(wide);
  return true;
}

std::string ViewName(View view) {
  switch (view) {
    case View::k64Bit:
      return "64";
    case View::k32Bit:
      return "32";
    case View::kNative:
      break;
  }
  return "native";
}

bool ViewFromName(const std::string& name, View* view) {
  if (name == "native")
    *view = View::kNative;
  else if (name == "64")
    *view = View::k64Bit;
  else if (name == "32")
    *view = View::k32Bit;
  else
    return false;
  return true;
}

class Line {
 public:
  explicit Line(const char* kind) : text_(kind) {}
  Line& Text(const std::string& text) { return Raw(Escaped(text)); }
  Line& Raw(const std::string& field) {
    text_ += kSeparator;
    text_ += field;
    return *this;
  }
  Line& Num(std::uint64_t value) { return Raw(std::to_string(value)); }
  Line& Value(const RegistryValue& value) {
    return Text(value.name).Num(value.type).Raw(Hex(value.data));
  }
  std::string End() const { return text_ + '\n'; }

 private:
  std::string text_;
};

std::string Encode(const RemovedFile& file) {
  return Line("file")
      .Text(file.path)
      .Num(file.attributes)
      .Num(file.size)
      .Raw(file.md5)
      .Text(file.copy)
      .End();
}

std::string Encode(const RemovedValue& value) {
  return Line("value")
      .Raw(RootName(value.root))
      .Raw(ViewName(value.view))
      .Text(value.key)
      .Value(value.value)
      .Text(value.regFile)
      .End();
}

std::string Encode(const RemovedKey& key) {
  Line line("key");
  line.Raw(RootName(key.root)).Raw(ViewName(key.view)).Text(key.key).Text(key.regFile);
  for (const RemovedKey::Entry& entry : key.entries) {
    if (entry.isValue) {
      line.Raw("v").Text(entry.subKey).Value(entry.value);
    } else {
      line.Raw("k").Text(entry.subKey);
    }
  }
  return line.End();
}

std::string Encode(const RemovedHostsLines& hosts) {
  Line line("hosts");
  line.Text(hosts.path)
      .Num(hosts.attributes)
      .Text(hosts.copy)
      .Raw(hosts.md5)
      .Text(hosts.addedLine)
      .Num(hosts.endingAdded ? 1 : 0);
  for (const RemovedHostsLines::Line& removed : hosts.removed) {
    line.Raw("line").Num(removed.index).Text(removed.text).Text(removed.ending);
  }
  return line.End();
}

// Reads the fields of one line in order; any mistake makes the whole line
// unreadable.
class Fields {
 public:
  explicit Fields(const std::string& line) {
    std::size_t start = 0;
    for (;;) {
      const auto tab = line.find(kSeparator, start);
      fields_.push_back(line.substr(start, tab == std::string::npos ? tab : tab - start));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
  }
  bool AtEnd() const { return next_ == fields_.size(); }
  bool ok() const { return ok_; }
  std::string Raw() {
    if (next_ >= fields_.size()) {
      ok_ = false;
      return std::string();
    }
    return fields_[next_++];
  }
  std::string Text() {
    std::string text;
    if (!Unescaped(Raw(), &text)) ok_ = false;
    return text;
  }
  std::uint32_t Num32() {
    std::uint32_t value = 0;
    if (!Number32(Raw(), &value)) ok_ = false;
    return value;
  }
  std::uint64_t Num64() {
    std::uint64_t value = 0;
    if (!Number(Raw(), &value)) ok_ = false;
    return value;
  }
  std::vector<std::uint8_t> Bytes() {
    std::vector<std::uint8_t> data;
    if (!FromHex(Raw(), &data)) ok_ = false;
    return data;
  }
  HKey Root() {
    HKey root = 0;
    if (!RootFromName(Raw(), &root)) ok_ = false;
    return root;
  }
  View ViewField() {
    View view = View::kNative;
    if (!ViewFromName(Raw(), &view)) ok_ = false;
    return view;
  }
  RegistryValue Value() {
    RegistryValue value;
    value.name = Text();
    value.type = Num32();
    value.data = Bytes();
    return value;
  }
  // A digest field: empty, or 32 hexadecimal digits.
  std::string Md5() {
    std::string digest = Raw();
    if (!digest.empty() &&
        (digest.size() != 32 || digest.find_first_not_of("0123456789ABCDEF") != std::string::npos))
      ok_ = false;
    return digest;
  }

 private:
  std::vector<std::string> fields_;
  std::size_t next_ = 1;
  bool ok_ = true;
};

bool Decode(Fields& fields, const std::string& kind, Item* item) {
  if (kind == "file") {
    RemovedFile file;
    file.path = fields.Text();
    file.attributes = fields.Num32();
    file.size = fields.Num64();
    file.md5 = fields.Md5();
    file.copy = fields.Text();
    *item = file;
  } else if (kind == "value") {
    RemovedValue value;
    value.root = fields.Root();
    value.view = fields.ViewField();
    value.key = fields.Text();
    value.value = fields.Value();
    value.regFile = fields.Text();
    *item = value;
  } else if (kind == "key") {
    RemovedKey key;
    key.root = fields.Root();
    key.view = fields.ViewField();
    key.key = fields.Text();
    key.regFile = fields.Text();
    while (fields.ok() && !fields.AtEnd()) {
      RemovedKey::Entry entry;
      const std::string tag = fields.Raw();
      entry.subKey = fields.Text();
      if (tag == "v") {
        entry.isValue = true;
        entry.value = fields.Value();
      } else if (tag != "k") {
        return false;
      }
      key.entries.push_back(entry);
    }
    *item = key;
  } else if (kind == "hosts") {
    RemovedHostsLines hosts;
    hosts.path = fields.Text();
    hosts.attributes = fields.Num32();
    hosts.copy = fields.Text();
    hosts.md5 = fields.Md5();
    hosts.addedLine = fields.Text();
    const std::uint32_t endingAdded = fields.Num32();
    hosts.endingAdded = endingAdded == 1;
    if (endingAdded > 1) return false;
    while (fields.ok() && !fields.AtEnd()) {
      if (fields.Raw() != "line") return false;
      RemovedHostsLines::Line line;
      line.index = static_cast<std::size_t>(fields.Num64());
      line.text = fields.Text();
      line.ending = fields.Text();
      hosts.removed.push_back(line);
    }
    *item = hosts;
  } else {
    return false;
  }
  return fields.ok() && fields.AtEnd();
}

}  // namespace

std::string HeaderLine() {
  return std::string(kHeader) + kSeparator + std::to_string(kFormatVersion) + '\n';
}

std::string ItemLine(const Item& item) {
  return std::visit([](const auto& removed) { return Encode(removed); }, item);
}

std::string RestoredLine(std::size_t number) { return Line("restored").Num(number).End(); }

bool ParseRecord(const std::string& bytes, Record* record) {
  *record = Record();
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const auto end = bytes.find('\n', start);
    if (end == std::string::npos) {
      record->cutOff = true;
      break;
    }
    std::string line = bytes.substr(start, end - start);
    // A record passed through a Windows editor may have gained carriage returns.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  if (lines.empty()) return false;
  std::uint64_t version = 0;
  if (lines[0].compare(0, std::string(kHeader).size() + 1, std::string(kHeader) + kSeparator) !=
          0 ||
      !Number(lines[0].substr(std::string(kHeader).size() + 1), &version) || version < 1 ||
      version > static_cast<std::uint64_t>(kFormatVersion)) {
    return false;
  }
  record->version = static_cast<int>(version);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    Fields fields(lines[i]);
    const std::string kind = lines[i].substr(0, lines[i].find(kSeparator));
    if (kind == "restored") {
      const std::uint64_t number = fields.Num64();
      if (fields.ok() && fields.AtEnd()) record->restored.insert(static_cast<std::size_t>(number));
      continue;
    }
    Record::Entry entry;
    entry.readable = Decode(fields, kind, &entry.item);
    record->items.push_back(entry);
  }
  return true;
}

std::string RootName(HKey root) {
  switch (root) {
    case kHkeyClassesRoot:
      return "HKCR";
    case kHkeyCurrentUser:
      return "HKCU";
    case kHkeyLocalMachine:
      return "HKLM";
    case kHkeyUsers:
      return "HKU";
    default:
      return std::string();
  }
}

bool RootFromName(const std::string& name, HKey* root) {
  for (HKey candidate : {kHkeyClassesRoot, kHkeyCurrentUser, kHkeyLocalMachine, kHkeyUsers}) {
    if (RootName(candidate) == name) {
      *root = candidate;
      return true;
    }
  }
  return false;
}

}  // namespace platform::restore
