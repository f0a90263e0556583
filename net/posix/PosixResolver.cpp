#include "net/posix/PosixResolver.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "net/posix/PosixErrors.h"
#include "net/posix/PosixLoop.h"

namespace net::posix {

namespace {

constexpr std::size_t kMaxAddresses = (sizeof(sys::HostBuffer) - sizeof(std::uint32_t)) / 4;

// The result area holds a 32-bit count followed by the addresses.
void WriteResult(sys::HostBuffer& area, const std::vector<sys::Address>& addresses) {
  const auto count = static_cast<std::uint32_t>(std::min(addresses.size(), kMaxAddresses));
  std::memcpy(area.data(), &count, sizeof(count));
  if (count > 0) {
    std::memcpy(area.data() + sizeof(count), addresses.data(), count * sizeof(sys::Address));
  }
}

}  // namespace

Resolver::Resolver() {
  int ends[2] = {-1, -1};
  if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) == 0) {
    readEnd_.Reset(ends[0]);
    writeEnd_.Reset(ends[1]);
  }
}

Resolver::~Resolver() {
  // Lookups of names nobody waits for any more still run to their end; their
  // threads must be gone before the pipe and the jobs are.
  for (auto& job : jobs_) {
    if (job->thread.joinable()) job->thread.join();
  }
}

sys::RequestHandle Resolver::Start(const std::string& host, sys::HostBuffer& area, int& error) {
  auto job = std::make_unique<Job>();
  job->request = ++lastRequest_;
  job->host = host;
  Job* raw = job.get();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    jobs_.push_back(std::move(job));
  }
  try {
    raw->thread = std::thread(&Resolver::Run, this, raw);
  } catch (const std::system_error&) {
    std::lock_guard<std::mutex> lock(mutex_);
    jobs_.pop_back();
    error = 10055;
    return 0;
  }
  wanted_[raw->request] = &area;
  error = 0;
  return raw->request;
}

void Resolver::Cancel(sys::RequestHandle request) { wanted_.erase(request); }

void Resolver::Run(Job* job) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const int result = ::getaddrinfo(job->host.c_str(), nullptr, &hints, &found);
  const int savedErrno = errno;
  std::vector<sys::Address> addresses;
  if (result == 0) {
    for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
      if (entry->ai_family != AF_INET) continue;
      const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
      addresses.push_back(address->sin_addr.s_addr);
    }
    ::freeaddrinfo(found);
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    job->error = MapLookupError(result, savedErrno);
    job->addresses = std::move(addresses);
    job->finished = true;
  }
  const char wake = 1;
  while (::write(writeEnd_.Get(), &wake, 1) < 0 && errno == EINTR) {
  }
}

void Resolver::DeliverFinished() {
  char drain[64];
  while (::read(readEnd_.Get(), drain, sizeof(drain)) > 0) {
  }
  std::list<std::unique_ptr<Job>> finished;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = jobs_.begin(); it != jobs_.end();) {
      if ((*it)->finished) {
        finished.push_back(std::move(*it));
        it = jobs_.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (auto& job : finished) {
    job->thread.join();
    auto wanted = wanted_.find(job->request);
    if (wanted == wanted_.end()) continue;
    WriteResult(*wanted->second, job->addresses);
    wanted_.erase(wanted);
    Post(sys::kMsgResolved, static_cast<std::uintptr_t>(job->request),
         static_cast<std::intptr_t>(job->error) << 16);
  }
}

}  // namespace net::posix

namespace net::sys {

int StartLookup(const std::string& host, HostBuffer& area, RequestHandle& request) {
  posix::Resolver* resolver = posix::TheResolver();
  int error = 10093;
  request = resolver != nullptr && resolver->IsUsable() ? resolver->Start(host, area, error) : 0;
  return error;
}

int CancelLookup(RequestHandle request) {
  if (posix::Resolver* resolver = posix::TheResolver()) resolver->Cancel(request);
  return 0;
}

bool FirstAddress(const HostBuffer& area, Address& address) {
  std::uint32_t count = 0;
  std::memcpy(&count, area.data(), sizeof(count));
  if (count == 0) return false;
  std::memcpy(&address, area.data() + sizeof(count), sizeof(address));
  return true;
}

}  // namespace net::sys
