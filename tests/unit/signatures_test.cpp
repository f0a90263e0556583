#include <gtest/gtest.h>

#include <set>
#include <string>

#include "quellix/engine/system/AnsiText.h"
#include "quellix/engine/session/frmMain.h"
#include "quellix/engine/session/mdlSortandSearch.h"

namespace quellix {
namespace {

class ShippedLists : public testing::Test {
 protected:
  FrmMain lists = FrmMain::Shipped();
  SignatureArrays arrays = BuildSignatureArrays(lists);
};

TEST_F(ShippedLists, CarryTheTellingRows) {
  for (const ItemList* list :
       {&lists.lstMD5[0], &lists.lstMD5[9], &lists.lstInfections[1], &lists.lstInfections[2]}) {
    ASSERT_FALSE(list->empty());
  }
  EXPECT_EQ(lists.lstMD5[0].front(), "BAA26F33BF8D23ECA99CA3FB1CCD3BF9");
  EXPECT_EQ(lists.lstMD5[9].front(), "1AF934FB3B0A09D4B970C7608F8467FC");
  EXPECT_EQ(lists.lstInfections[1].front(), "mbsmon32");
  EXPECT_EQ(lists.lstInfections[2].front(), "winmgrs");
  EXPECT_EQ(lists.lstInfections[2].back(), "joy start");
}

TEST_F(ShippedLists, WorkListsStartWithTheirShippedItems) {
  EXPECT_EQ(lists.lstKeys, ItemList{"lstKeys"});
  EXPECT_EQ(lists.lstInfectedKeys, ItemList{"lstInfectedKeys"});
  EXPECT_TRUE(lists.lstIdentifiedByMD5.empty());
}

TEST_F(ShippedLists, DigestsHaveTheTextFormOfComputedDigests) {
  for (const auto& list : lists.lstMD5) {
    for (const auto& digest : list) {
      EXPECT_EQ(digest.size(), 32u) << digest;
      EXPECT_EQ(digest.find_first_not_of("0123456789ABCDEF"), std::string::npos) << digest;
    }
  }
}

TEST_F(ShippedLists, NamesAndHostsAreDistinctAndUsable) {
  std::set<std::string> names;
  for (const auto& list : lists.lstInfections) {
    for (const auto& name : list) {
      EXPECT_TRUE(names.insert(name).second) << "listed twice: " << name;
      EXPECT_FALSE(name.empty());
      EXPECT_LE(name.size(), 49u) << name;
      EXPECT_EQ(LowerAnsi(name), name) << "names are lower case: " << name;
    }
  }
  std::set<std::string> hosts(lists.lstHostInfections.begin(), lists.lstHostInfections.end());
  EXPECT_EQ(hosts.size(), lists.lstHostInfections.size());
  for (const auto& host : lists.lstHostInfections) {
    EXPECT_GE(host.size(), 6u) << host;
    EXPECT_LE(host.size(), 46u) << host;
  }
}

TEST_F(ShippedLists, ArraysHoldEveryItemInTheirOrder) {
  std::size_t nameCount = 0;
  for (const auto& list : lists.lstInfections) nameCount += list.size();
  ASSERT_EQ(arrays.InfectionNames.size(), nameCount);
  for (std::size_t i = 1; i < arrays.InfectionNames.size(); ++i) {
    EXPECT_LT(CompareBinary(arrays.InfectionNames[i - 1], arrays.InfectionNames[i]), 0)
        << arrays.InfectionNames[i - 1] << " / " << arrays.InfectionNames[i];
  }
  EXPECT_EQ(arrays.InfectionNames.front(), " svchost");
  const std::vector<std::string> tail(arrays.InfectionNames.end() - 3, arrays.InfectionNames.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"~", "~tmpa", "~tmpb"}));

  std::vector<std::string> digests;
  for (const auto& list : lists.lstMD5) digests.insert(digests.end(), list.begin(), list.end());
  EXPECT_EQ(arrays.KnownDigests, digests);
}

TEST_F(ShippedLists, SortedNamesAreFoundByBinarySearch) {
  const auto index = BinarySearch(arrays.InfectionNames, "svchost");
  ASSERT_GE(index, 0);
  EXPECT_EQ(arrays.InfectionNames[static_cast<std::size_t>(index)], "svchost");
  EXPECT_EQ(BinarySearch(arrays.InfectionNames, "SVCHOST"), -1);
  for (std::size_t i = 0; i < arrays.InfectionNames.size(); ++i) {
    EXPECT_EQ(BinarySearch(arrays.InfectionNames, arrays.InfectionNames[i]),
              static_cast<std::int32_t>(i));
  }
}

TEST(BuildSignatureArrays, SortsNamesWhateverTheListOrder) {
  FrmMain lists;
  lists.lstInfections = {ItemList{"zeta", "alpha"}, ItemList{}, ItemList{"mid", " lead"}};
  lists.lstMD5[3] = {"B", "A"};
  const auto arrays = BuildSignatureArrays(lists);
  EXPECT_EQ(arrays.InfectionNames, (std::vector<std::string>{" lead", "alpha", "mid", "zeta"}));
  EXPECT_EQ(arrays.KnownDigests, (std::vector<std::string>{"B", "A"}));
}

}  // namespace
}  // namespace quellix
