// The program's hidden lists: the shipped signature lists and the work lists
// that the removal phases fill and read. Items keep the order they were added in.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace quellix {

using ItemList = std::vector<std::string>;

struct FrmMain {
  std::array<ItemList, 10> lstMD5;
  std::array<ItemList, 3> lstInfections;
  ItemList lstHostInfections;
  // Work lists; the first two ship with one item each, their own names.
  ItemList lstKeys{"lstKeys"};
  ItemList lstInfectedKeys{"lstInfectedKeys"};
  ItemList lstIdentifiedByMD5;

  // The lists as the program ships them.
  static FrmMain Shipped();
};

// The run-wide signature arrays built at start-up.
struct SignatureArrays {
  std::vector<std::string> InfectionNames;  // sorted, binary order
  std::vector<std::string> KnownDigests;    // list order
};

// Every lstInfections item, list by list, sorted with QuickSort; every lstMD5
// item in list order.
SignatureArrays BuildSignatureArrays(const FrmMain& lists);

}  // namespace quellix
