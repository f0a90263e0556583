// Asynchronous IPv4 name lookups. Each lookup runs getaddrinfo on a thread of
// its own; its completion is handed to the loop's thread through a pipe and
// only there written into the requester's result area and posted, so a
// cancelled request never touches memory its requester has released.
#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "net/SocketPlatform.h"
#include "net/posix/ScopedFd.h"

namespace net::posix {

class Resolver {
 public:
  Resolver();
  ~Resolver();
  Resolver(const Resolver&) = delete;
  Resolver& operator=(const Resolver&) = delete;

  bool IsUsable() const { return readEnd_.Get() >= 0; }
  int WakeFd() const { return readEnd_.Get(); }
  // 0 and an error number when the lookup could not start.
  sys::RequestHandle Start(const std::string& host, sys::HostBuffer& area, int& error);
  void Cancel(sys::RequestHandle request);
  // On the loop's thread: fills the areas of finished lookups that are still
  // wanted and posts their completion messages.
  void DeliverFinished();

 private:
  struct Job {
    sys::RequestHandle request = 0;
    std::string host;
    std::thread thread;
    bool finished = false;
    int error = 0;
    std::vector<sys::Address> addresses;
  };

  void Run(Job* job);

  ScopedFd readEnd_;
  ScopedFd writeEnd_;
  std::mutex mutex_;
  std::list<std::unique_ptr<Job>> jobs_;
  std::map<sys::RequestHandle, sys::HostBuffer*> wanted_;
  sys::RequestHandle lastRequest_ = 0;
};

Resolver* TheResolver();

}  // namespace net::posix
