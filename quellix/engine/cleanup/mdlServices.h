// Finds the services that run a worm's program, stops them, backs up their
// keys and deletes the keys with everything below them.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace quellix {

class Session;

// The services key below HKEY_LOCAL_MACHINE, with its trailing "\".
constexpr const char* kServicesKeyPath = "System\\CurrentControlSet\\Services\\";

// True when at least one worm service accepted the stop request.
bool RemoveVirusServices(Session& session);

// Asks the service manager of machine ("" for this computer) to stop the
// service; true when the request was accepted.
bool StopService(Session& session, const std::string& machine, const std::string& serviceName);

// Deletes every sub-key below the open key, whose path below the services key
// is path. A sub-key that still refuses deletion is left and the next one
// tried, so the call always ends.
void DeleteKeyTree(Session& session, platform::HKey key, const std::string& path);

}  // namespace quellix
