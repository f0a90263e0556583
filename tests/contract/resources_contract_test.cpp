// The program's own resources: the language tables and the title list read
// through the platform are the bytes the build embeds, whichever backend
// holds them, and their type names are found without case.
#include <string>
#include <vector>

#include "quellix/lang/EmbeddedResources.h"
#include "tests/contract/ContractTest.h"

namespace contract {
namespace {

constexpr int kEnglishTable = 107;

std::vector<std::uint8_t> Utf16Le(const std::u16string& text) {
  std::vector<std::uint8_t> bytes;
  for (char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return bytes;
}

class ResourcesContract : public ContractTest {};

TEST_F(ResourcesContract, EveryEmbeddedResourceReadsBackWithItsBytes) {
  const auto& embedded = quellix::lang::EmbeddedLanguageResources();
  ASSERT_FALSE(embedded.empty());
  for (const auto& resource : embedded) {
    SCOPED_TRACE(std::string(resource.type) + " " + std::to_string(resource.id));
    std::vector<std::uint8_t> bytes;
    const auto loaded = Observe(
        sys(), [&] { return sys().LoadProgramResource(resource.type, resource.id, &bytes); });
    ASSERT_TRUE(loaded.value) << loaded;
    EXPECT_EQ(bytes, std::vector<std::uint8_t>(resource.bytes, resource.bytes + resource.size));
  }
}

// The lookup asks for "Language"; the English table begins with its first label.
TEST_F(ResourcesContract, EnglishTableIsFoundByATypeNameInAnyCase) {
  std::vector<std::uint8_t> upper;
  ASSERT_TRUE(sys().LoadProgramResource("LANGUAGE", kEnglishTable, &upper));
  std::vector<std::uint8_t> mixed;
  const auto loaded =
      Observe(sys(), [&] { return sys().LoadProgramResource("Language", kEnglishTable, &mixed); });
  ASSERT_TRUE(loaded.value) << loaded;
  EXPECT_EQ(mixed, upper);

  const auto firstRow = Utf16Le(u"Current Operation:\r\n");
  ASSERT_GE(mixed.size(), firstRow.size());
  EXPECT_EQ(std::vector<std::uint8_t>(mixed.begin(), mixed.begin() + firstRow.size()), firstRow);
}

TEST_F(ResourcesContract, MissingResourceIsReportedMissing) {
  std::vector<std::uint8_t> bytes;
  const auto unknownId =
      Observe(sys(), [&] { return sys().LoadProgramResource("LANGUAGE", 99, &bytes); });
  EXPECT_FALSE(unknownId.value) << unknownId;
  const auto unknownType = Observe(
      sys(), [&] { return sys().LoadProgramResource("QLXNOSUCHTYPE", kEnglishTable, &bytes); });
  EXPECT_FALSE(unknownType.value) << unknownType;
  // A resource id is 16 bits: a larger number must not wrap round to the English table.
  const auto outOfRange = Observe(sys(), [&] {
    return sys().LoadProgramResource("LANGUAGE", 0x10000 + kEnglishTable, &bytes);
  });
  EXPECT_FALSE(outOfRange.value) << outOfRange;
}

}  // namespace
}  // namespace contract
