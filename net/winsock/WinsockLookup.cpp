#include "net/winsock/WinsockLookup.h"

#include <cstring>
#include <map>
#include <memory>

#include "net/SocketPlatform.h"

namespace net::winsock {

struct Lookup {
  std::unique_ptr<char[]> area;
  sys::HostBuffer* wanted;
};

std::map<HANDLE, Lookup>& Lookups() {
  static std::map<HANDLE, Lookup> lookups;
  return lookups;
}

namespace {

constexpr std::size_t kMaxAddresses = (sizeof(sys::HostBuffer) - sizeof(std::uint32_t)) / 4;

}  // namespace

void CompleteLookup(WPARAM request, LPARAM result) {
  auto found = Lookups().find(reinterpret_cast<HANDLE>(request));
  if (found == Lookups().end()) return;
  if (found->second.wanted != nullptr && WSAGETASYNCERROR(result) == 0) {
    // The requester's area holds a 32-bit count followed by the addresses.
    const auto* host = reinterpret_cast<const hostent*>(found->second.area.get());
    std::uint32_t count = 0;
    char* out = found->second.wanted->data();
    if (host->h_addrtype == AF_INET && host->h_length == 4) {
      while (count < kMaxAddresses && host->h_addr_list[count] != nullptr) {
        std::memcpy(out + sizeof(count) + count * 4, host->h_addr_list[count], 4);
        ++count;
      }
    }
    std::memcpy(out, &count, sizeof(count));
  }
  Lookups().erase(found);
}

void ReleaseLookups() { Lookups().clear(); }

}  // namespace net::winsock

namespace net::sys {

int StartLookup(const std::string& host, HostBuffer& area, RequestHandle& request) {
  request = 0;
  winsock::Lookup lookup{std::make_unique<char[]>(MAXGETHOSTSTRUCT), &area};
  HANDLE handle = WSAAsyncGetHostByName(winsock::NotifierWindow(), kMsgResolved, host.c_str(),
                                        lookup.area.get(), MAXGETHOSTSTRUCT);
  if (handle == nullptr) return WSAGetLastError();
  winsock::Lookups()[handle] = std::move(lookup);
  request = reinterpret_cast<RequestHandle>(handle);
  return 0;
}

int CancelLookup(RequestHandle request) {
  const auto handle = reinterpret_cast<HANDLE>(request);
  auto found = winsock::Lookups().find(handle);
  if (found != winsock::Lookups().end()) found->second.wanted = nullptr;
  return WSACancelAsyncRequest(handle) == 0 ? 0 : WSAGetLastError();
}

bool FirstAddress(const HostBuffer& area, Address& address) {
  std::uint32_t count = 0;
  std::memcpy(&count, area.data(), sizeof(count));
  if (count == 0) return false;
  std::memcpy(&address, area.data() + sizeof(count), sizeof(address));
  return true;
}

}  // namespace net::sys
