// The two requests the program sends to the update host and the pages it
// names there. Both requests are plain ASCII, sent in one piece.
#pragma once

#include <string>

namespace quellix::update {

constexpr const char* kVersionCheckPath = "/app/checkupdates.php";
constexpr const char* kFeedPath = "/app/kestrel/updates.php";
constexpr const char* kDownloadPath = "/download.php";

// "GET <path> HTTP/1.1" CR LF "Host: " hostHeader CR LF CR LF.
std::string VersionCheckRequest(const std::string& hostHeader);
std::string FeedRequest(const std::string& hostHeader);
// The feed's signature file, asked for the same way.
std::string SignatureRequest(const std::string& hostHeader);

}  // namespace quellix::update
