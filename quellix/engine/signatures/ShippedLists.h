// The signature lists compiled into the program, in list order.
#pragma once

#include <string>
#include <vector>

namespace quellix {

std::vector<std::vector<std::string>> ShippedMd5Lists();         // lstMD5(0..9)
std::vector<std::vector<std::string>> ShippedInfectionsLists();  // lstInfections(0..2)
std::vector<std::string> ShippedHostInfections();                // lstHostInfections

}  // namespace quellix
