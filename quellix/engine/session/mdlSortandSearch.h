// Keeps the worm names ordered and searches them. Comparisons are binary: by
// the UTF-16 code units that the Windows-1252 bytes stand for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quellix {

// Negative, zero or positive, as a binary string comparison.
int CompareBinary(const std::string& a, const std::string& b);

// Sorts names[lo..hi] ascending in place (Hoare partitioning around the middle).
void QuickSort(std::vector<std::string>& names, std::int32_t lo, std::int32_t hi);

// The index of an element equal to item in an array sorted either way, or the
// lower bound minus one (-1) when there is none.
std::int32_t BinarySearch(const std::vector<std::string>& names, const std::string& item);

}  // namespace quellix
