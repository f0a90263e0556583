#include "quellix/engine/session/mdlSortandSearch.h"

#include <algorithm>
#include <utility>

namespace quellix {
namespace {

// Windows-1252 bytes 0x80-0x9F stand for these code points; the rest of the
// code page maps a byte to the code unit of the same value.
constexpr char16_t kHighControlBlock[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t CodeUnit(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 0x80 && byte <= 0x9F ? kHighControlBlock[byte - 0x80] : char16_t{byte};
}

}  // namespace

int CompareBinary(const std::string& a, const std::string& b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const char16_t x = CodeUnit(a[i]);
    const char16_t y = CodeUnit(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

void QuickSort(std::vector<std::string>& names, std::int32_t lo, std::int32_t hi) {
  // An empty range (an empty array passes hi = -1) has nothing to sort.
  if (lo >= hi) return;
  std::int32_t i = lo;
  std::int32_t j = hi;
  const std::string pivot = names[static_cast<std::size_t>((lo + hi) / 2)];
  while (i <= j) {
    while (CompareBinary(names[i], pivot) < 0 && i < hi) ++i;
    while (CompareBinary(pivot, names[j]) < 0 && j > lo) --j;
    if (i <= j) {
      std::swap(names[i], names[j]);
      ++i;
      --j;
    }
  }
  if (lo < j) QuickSort(names, lo, j);
  if (i < hi) QuickSort(names, i, hi);
}

std::int32_t BinarySearch(const std::vector<std::string>& names, const std::string& item) {
  constexpr std::int32_t kLowerBound = 0;
  if (names.empty()) return kLowerBound - 1;
  std::int32_t lo = kLowerBound;
  std::int32_t hi = static_cast<std::int32_t>(names.size()) - 1;
  const bool descending = CompareBinary(names[lo], names[hi]) > 0;
  while (true) {
    const std::int32_t mid = (lo + hi) / 2;
    const int order = CompareBinary(names[mid], item);
    if (order == 0) return mid;
    if (descending != (order < 0)) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
    }
    if (lo > hi) return kLowerBound - 1;
  }
}

}  // namespace quellix
