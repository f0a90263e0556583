// Who publishes Gorsel and where its pages live. Every name and address is
// the product's own, on the reserved example domain.
#pragma once

namespace gorsel {

constexpr const char* kPublisherName = "Quellix";
constexpr const char* kPublisherSite = "www.quellix.example";
constexpr const char* kHomePage = "http://www.quellix.example/";
constexpr const char* kArticlePage = "http://www.quellix.example/gorsel/";
constexpr const char* kFollowUpPage = "http://www.quellix.example/gorsel/thanks/";
constexpr const char* kHelpContact = "the Quellix help forum at help.quellix.example";
// The family the fix button removes: it hides as winlogon.exe.
constexpr const char* kWormName = "the winlogon impostor";

}  // namespace gorsel
