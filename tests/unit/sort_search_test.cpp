#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "quellix/engine/session/mdlSortandSearch.h"

namespace quellix {
namespace {

using Names = std::vector<std::string>;

void SortAll(Names& names) { QuickSort(names, 0, static_cast<std::int32_t>(names.size()) - 1); }

bool IsAscending(const Names& names) {
  for (std::size_t i = 1; i < names.size(); ++i) {
    if (CompareBinary(names[i - 1], names[i]) > 0) return false;
  }
  return true;
}

TEST(CompareBinary, OrdersByCodeUnitNotByLetter) {
  EXPECT_LT(CompareBinary(" svchost", "1.tmp"), 0);   // blank before digits
  EXPECT_LT(CompareBinary("Svchost", "svchost"), 0);  // capitals before small letters
  EXPECT_LT(CompareBinary("^x", "_x"), 0);            // 0x5E before 0x5F
  EXPECT_LT(CompareBinary("zz", "~"), 0);
  EXPECT_LT(CompareBinary("~", "~tmpa"), 0);  // a prefix comes first
  EXPECT_EQ(CompareBinary("abc", "abc"), 0);
  // 0x80 stands for the euro sign U+20AC, which sorts after e-acute (U+00E9),
  // although its byte value is smaller.
  EXPECT_GT(CompareBinary("\x80", "\xE9"), 0);
  EXPECT_LT(CompareBinary("\x7F", "\x80"), 0);
}

TEST(QuickSort, SortsEdgeDataAscending) {
  Names names{"~tmpb", "_under", "svchost", "~",         " svchost", "^caret",
              "~tmpa", "Zeta",   "1.tmp",   "joy start", "r?ndll32", "system32:svchost"};
  SortAll(names);
  EXPECT_EQ(names.front(), " svchost");
  const Names tail(names.end() - 3, names.end());
  EXPECT_EQ(tail, (Names{"~", "~tmpa", "~tmpb"}));
  const auto caret = std::find(names.begin(), names.end(), "^caret");
  ASSERT_NE(caret, names.end());
  EXPECT_EQ(*(caret + 1), "_under");
  EXPECT_TRUE(IsAscending(names));
}

TEST(QuickSort, HandlesTinyAndDuplicateRanges) {
  Names empty;
  SortAll(empty);
  EXPECT_TRUE(empty.empty());

  Names one{"only"};
  SortAll(one);
  EXPECT_EQ(one, Names{"only"});

  Names duplicates{"b", "a", "b", "a", "b"};
  SortAll(duplicates);
  EXPECT_EQ(duplicates, (Names{"a", "a", "b", "b", "b"}));
}

TEST(QuickSort, SortsOnlyTheGivenRange) {
  Names names{"z", "d", "c", "b", "a"};
  QuickSort(names, 1, 3);
  EXPECT_EQ(names, (Names{"z", "b", "c", "d", "a"}));
}

TEST(QuickSort, AgreesWithAReferenceSortOnRandomData) {
  std::mt19937 random(20261207);
  std::uniform_int_distribution<int> length(0, 6);
  std::uniform_int_distribution<int> byte(0x20, 0xFF);
  for (int round = 0; round < 200; ++round) {
    Names names(static_cast<std::size_t>(random() % 60));
    for (auto& name : names) {
      for (int i = length(random); i > 0; --i) name += static_cast<char>(byte(random));
    }
    Names expected = names;
    std::sort(expected.begin(), expected.end(),
              [](const std::string& a, const std::string& b) { return CompareBinary(a, b) < 0; });
    SortAll(names);
    ASSERT_EQ(names, expected) << "round " << round;
  }
}

TEST(BinarySearch, FindsEveryElementOfAscendingAndDescendingArrays) {
  Names ascending{" svchost", "1.tmp", "^a", "_b", "explorer", "svchost", "~", "~tmpa", "~tmpb"};
  Names descending(ascending.rbegin(), ascending.rend());
  for (std::size_t i = 0; i < ascending.size(); ++i) {
    EXPECT_EQ(BinarySearch(ascending, ascending[i]), static_cast<std::int32_t>(i)) << ascending[i];
    EXPECT_EQ(BinarySearch(descending, descending[i]), static_cast<std::int32_t>(i))
        << descending[i];
  }
}

TEST(BinarySearch, ReturnsMinusOneForAbsentItemsAtBothEnds) {
  const Names ascending{"b", "d", "f"};
  const Names descending{"f", "d", "b"};
  for (const Names* names : {&ascending, &descending}) {
    EXPECT_EQ(BinarySearch(*names, "a"), -1);
    EXPECT_EQ(BinarySearch(*names, "c"), -1);
    EXPECT_EQ(BinarySearch(*names, "z"), -1);
  }
  EXPECT_EQ(BinarySearch(Names{}, "a"), -1);
}

TEST(BinarySearch, IsCaseSensitive) {
  Names names{"explorer", "svchost", "winmgrs"};
  EXPECT_EQ(BinarySearch(names, "svchost"), 1);
  EXPECT_EQ(BinarySearch(names, "SVCHOST"), -1);
}

TEST(BinarySearch, OneElementCountsAsAscending) {
  const Names one{"m"};
  EXPECT_EQ(BinarySearch(one, "m"), 0);
  EXPECT_EQ(BinarySearch(one, "a"), -1);
  EXPECT_EQ(BinarySearch(one, "z"), -1);
}

TEST(BinarySearch, FirstProbeThatMeetsAnEqualElementWins) {
  // The first probe lands on index 2, which holds one of the equal elements.
  const Names names{"a", "b", "b", "b", "c"};
  EXPECT_EQ(BinarySearch(names, "b"), 2);
  // Here the first probe (index 1) misses; the second (index 2) finds "c".
  const Names later{"a", "b", "c", "c"};
  EXPECT_EQ(BinarySearch(later, "c"), 2);
}

}  // namespace
}  // namespace quellix
