#include "quellix/engine/session/frmMain.h"

#include "quellix/engine/session/mdlSortandSearch.h"
#include "quellix/engine/signatures/ShippedLists.h"

namespace quellix {
namespace {

template <std::size_t N>
std::array<ItemList, N> ToArray(std::vector<ItemList> lists) {
  std::array<ItemList, N> result;
  for (std::size_t i = 0; i < N && i < lists.size(); ++i) result[i] = std::move(lists[i]);
  return result;
}

template <std::size_t N>
std::vector<std::string> Concatenate(const std::array<ItemList, N>& lists) {
  std::vector<std::string> all;
  for (const auto& list : lists) all.insert(all.end(), list.begin(), list.end());
  return all;
}

}  // namespace

FrmMain FrmMain::Shipped() {
  FrmMain lists;
  lists.lstMD5 = ToArray<10>(ShippedMd5Lists());
  lists.lstInfections = ToArray<3>(ShippedInfectionsLists());
  lists.lstHostInfections = ShippedHostInfections();
  return lists;
}

SignatureArrays BuildSignatureArrays(const FrmMain& lists) {
  SignatureArrays arrays;
  arrays.InfectionNames = Concatenate(lists.lstInfections);
  QuickSort(arrays.InfectionNames, 0, static_cast<std::int32_t>(arrays.InfectionNames.size()) - 1);
  arrays.KnownDigests = Concatenate(lists.lstMD5);
  return arrays;
}

}  // namespace quellix
