// The restore record's reader: whatever the bytes of a record file, it
// returns, and every item it reads is written back by the writer as a line
// that reads back to the same item.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/restore/RestoreRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace record = platform::restore;
  record::Record parsed;
  if (!record::ParseRecord(std::string(reinterpret_cast<const char*>(data), size), &parsed))
    return 0;
  for (const record::Record::Entry& entry : parsed.items) {
    if (!entry.readable) continue;
    const std::string line = record::ItemLine(entry.item);
    record::Record again;
    if (!record::ParseRecord(record::HeaderLine() + line, &again) || again.items.size() != 1 ||
        !again.items[0].readable || record::ItemLine(again.items[0].item) != line) {
      std::abort();
    }
  }
  return 0;
}
