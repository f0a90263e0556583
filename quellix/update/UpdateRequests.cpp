#include "quellix/update/UpdateRequests.h"

#include "quellix/update/FeedSignature.h"

namespace quellix::update {
namespace {

std::string Request(const char* path, const std::string& hostHeader) {
  return std::string("GET ") + path + " HTTP/1.1\r\nHost: " + hostHeader + "\r\n\r\n";
}

}  // namespace

std::string VersionCheckRequest(const std::string& hostHeader) {
  return Request(kVersionCheckPath, hostHeader);
}

std::string FeedRequest(const std::string& hostHeader) { return Request(kFeedPath, hostHeader); }

std::string SignatureRequest(const std::string& hostHeader) {
  return Request(kFeedSignaturePath, hostHeader);
}

}  // namespace quellix::update
