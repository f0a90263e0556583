// The product's identity: the only place that holds the program and database
// versions and the caption that the window shows and the run reads back.
#pragma once

#include <string>

namespace quellix {

constexpr const char* kProductName = "Quellix";
constexpr int kVersionMajor = 4;
constexpr int kVersionMinor = 23;
constexpr const char* kShippedDatabaseVersion = "7.00";
// The caption literal after which the database version stands.
constexpr const char* kDatabaseCaptionMarker = "Virus Database   ";
// The vendor's web host; "example" is reserved, so no stranger's site is opened.
constexpr const char* kVendorHost = "www.quellix.example";

// The main window's caption: the product name padded to 40 characters, the
// marker and the database version.
std::string MainWindowCaption();

// The database version as the caption holds it (the second field after the marker).
std::string DatabaseVersionFromCaption(const std::string& caption);

// "4.23": major and minor as plain decimal numbers.
std::string ProgramVersionText();

}  // namespace quellix
