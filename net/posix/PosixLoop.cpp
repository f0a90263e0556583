#include "net/posix/PosixLoop.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <deque>
#include <map>
#include <memory>
#include <vector>

#include "net/SocketPlatform.h"
#include "net/modEventSocket.h"
#include "net/posix/PosixErrors.h"
#include "net/posix/PosixResolver.h"

namespace net::posix {

namespace {

// One socket that asked for notifications, with what may be posted next.
struct Watch {
  bool datagram = false;
  bool listening = false;
  bool connecting = false;
  // A stream socket is watched for input only once it has a connection: before
  // that Linux reports it hung up, which would pass for the peer's close.
  bool connected = false;
  bool readArmed = true;
  bool acceptArmed = true;
  bool writeArmed = false;
  bool closeArmed = true;
  // The peer has closed, but data before its close is still unread and the
  // object is not reading: nothing can be posted until it reads again.
  bool hungUp = false;
};

struct Message {
  std::uint32_t message;
  std::uintptr_t wParam;
  std::intptr_t lParam;
};

// The started socket layer: the watched sockets, the posted messages and the
// resolver. It exists from StartLayer to StopLayer.
struct Layer {
  std::map<int, Watch> watches;
  std::deque<Message> posted;
  bool notifier = false;
  Resolver resolver;
};

std::unique_ptr<Layer>& TheLayer() {
  static std::unique_ptr<Layer> layer;
  return layer;
}

Watch* FindWatch(int fd) {
  auto& layer = TheLayer();
  if (!layer) return nullptr;
  auto found = layer->watches.find(fd);
  return found == layer->watches.end() ? nullptr : &found->second;
}

void PostSocket(int fd, int event, int error) {
  Post(sys::kMsgSocket, static_cast<std::uintptr_t>(fd),
       (static_cast<std::intptr_t>(error) << 16) | event);
}

int PendingError(int fd) {
  int error = 0;
  socklen_t length = sizeof(error);
  if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
  return error == 0 ? 0 : MapErrno(error);
}

// What poll is asked to report for a socket. Waiting data wakes it only while
// a read may be posted; the close is watched on its own (POLLRDHUP), so that
// an object that stopped reading does not make every round return at once.
short Interest(const Watch& watch) {
  if (watch.connecting) return POLLOUT;
  if (watch.listening) return watch.acceptArmed ? POLLIN : 0;
  short events = 0;
  if (watch.datagram || watch.connected) {
    if (watch.readArmed) events |= POLLIN;
    if (!watch.datagram && watch.closeArmed && !watch.hungUp) events |= POLLRDHUP;
  }
  if (watch.writeArmed) events |= POLLOUT;
  return events;
}

// A connection is up: from now on its data and its close are reported.
void Connected(Watch& watch) {
  watch.connected = true;
  watch.readArmed = watch.closeArmed = true;
}

// Turns one socket's readiness into the notifications WSAAsyncSelect would post.
void Translate(int fd, Watch& watch, short ready) {
  if (watch.connecting) {
    watch.connecting = false;
    const int error = PendingError(fd);
    PostSocket(fd, sys::kEventConnect, error);
    if (error != 0) {
      watch.readArmed = watch.writeArmed = watch.closeArmed = false;
    } else {
      Connected(watch);
      PostSocket(fd, sys::kEventWrite, 0);
    }
    return;
  }
  if (watch.listening) {
    if ((ready & POLLIN) != 0) {
      watch.acceptArmed = false;
      PostSocket(fd, sys::kEventAccept, 0);
    }
    return;
  }
  if ((ready & POLLOUT) != 0 && watch.writeArmed) {
    watch.writeArmed = false;
    PostSocket(fd, sys::kEventWrite, 0);
  }
  if ((ready & (POLLIN | POLLRDHUP | POLLHUP | POLLERR)) == 0) return;
  if (watch.datagram) {
    if (watch.readArmed) {
      watch.readArmed = false;
      PostSocket(fd, sys::kEventRead, 0);
    }
    return;
  }
  // Data first, then the close: the close is posted once everything before
  // it has been read, as the object reads one piece per notification.
  char byte = 0;
  const ssize_t peeked = ::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
  if (peeked > 0) {
    if (watch.readArmed) {
      watch.readArmed = false;
      PostSocket(fd, sys::kEventRead, 0);
    } else {
      watch.hungUp = true;
    }
  } else if (peeked == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
    const int error = peeked == 0 ? 0 : MapErrno(errno);
    if (watch.closeArmed) {
      watch.closeArmed = false;
      watch.readArmed = false;
      PostSocket(fd, sys::kEventClose, error == 10054 || error == 10053 ? error : 0);
    }
  }
}

void Poll(Layer& layer, int waitMilliseconds) {
  std::vector<pollfd> fds;
  fds.push_back({layer.resolver.WakeFd(), POLLIN, 0});
  for (const auto& [fd, watch] : layer.watches) {
    const short events = Interest(watch);
    if (events != 0) fds.push_back({fd, events, 0});
  }
  const int timeout = layer.posted.empty() ? waitMilliseconds : 0;
  if (::poll(fds.data(), fds.size(), timeout) <= 0) return;
  if (fds[0].revents != 0) layer.resolver.DeliverFinished();
  for (std::size_t i = 1; i < fds.size(); ++i) {
    if (fds[i].revents == 0) continue;
    if (Watch* watch = FindWatch(fds[i].fd)) Translate(fds[i].fd, *watch, fds[i].revents);
  }
}

}  // namespace

void Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  auto& layer = TheLayer();
  if (layer && layer->notifier) layer->posted.push_back({message, wParam, lParam});
}

void NoteReceived(int fd) {
  if (Watch* watch = FindWatch(fd)) watch->readArmed = true;
}

void NoteSendBlocked(int fd) {
  if (Watch* watch = FindWatch(fd)) watch->writeArmed = true;
}

void NoteAccepted(int listener, int fd) {
  Watch* watch = FindWatch(listener);
  if (watch == nullptr) return;
  watch->acceptArmed = true;
  // The accepted socket reports with the listening socket's notifications;
  // it can be written to at once.
  Watch accepted;
  Connected(accepted);
  accepted.writeArmed = true;
  TheLayer()->watches[fd] = accepted;
}

void NoteConnecting(int fd) {
  if (Watch* watch = FindWatch(fd)) watch->connecting = true;
}

void NoteListening(int fd) {
  if (Watch* watch = FindWatch(fd)) watch->listening = true;
}

void PostConnectResult(int fd, int error) {
  PostSocket(fd, sys::kEventConnect, error);
  Watch* watch = FindWatch(fd);
  if (error == 0) {
    if (watch != nullptr) Connected(*watch);
    PostSocket(fd, sys::kEventWrite, 0);
  } else if (watch != nullptr) {
    watch->readArmed = watch->writeArmed = watch->closeArmed = false;
  }
}

void Forget(int fd) {
  auto& layer = TheLayer();
  if (!layer) return;
  layer->watches.erase(fd);
  // Messages already posted for this socket die with it: its number may be
  // given to the next socket.
  auto& posted = layer->posted;
  for (auto it = posted.begin(); it != posted.end();) {
    if (it->message == sys::kMsgSocket && it->wParam == static_cast<std::uintptr_t>(fd)) {
      it = posted.erase(it);
    } else {
      ++it;
    }
  }
}

int ResolverWakeFd() {
  auto& layer = TheLayer();
  return layer ? layer->resolver.WakeFd() : -1;
}

Resolver* TheResolver() {
  auto& layer = TheLayer();
  return layer ? &layer->resolver : nullptr;
}

}  // namespace net::posix

namespace net::sys {

int StartLayer() {
  auto& layer = posix::TheLayer();
  if (!layer) layer = std::make_unique<posix::Layer>();
  return layer->resolver.IsUsable() ? 0 : 10091;
}

int StopLayer() {
  posix::TheLayer().reset();
  return 0;
}

bool CreateNotifier() {
  auto& layer = posix::TheLayer();
  if (!layer) return false;
  layer->notifier = true;
  return true;
}

bool DestroyNotifier() {
  auto& layer = posix::TheLayer();
  if (!layer) return true;
  layer->notifier = false;
  layer->posted.clear();
  return true;
}

int SelectNotifications(SocketNumber socket) {
  auto& layer = posix::TheLayer();
  if (!layer) return 10093;
  const int flags = ::fcntl(socket, F_GETFL);
  if (flags < 0 || ::fcntl(socket, F_SETFL, flags | O_NONBLOCK) != 0) {
    return posix::MapErrno(errno);
  }
  int type = 0;
  socklen_t length = sizeof(type);
  if (::getsockopt(socket, SOL_SOCKET, SO_TYPE, &type, &length) != 0) {
    return posix::MapErrno(errno);
  }
  posix::Watch watch;
  watch.datagram = type == SOCK_DGRAM;
  int listening = 0;
  length = sizeof(listening);
  if (::getsockopt(socket, SOL_SOCKET, SO_ACCEPTCONN, &listening, &length) == 0) {
    watch.listening = listening != 0;
  }
  sockaddr_storage peer{};
  length = sizeof(peer);
  watch.connected = !watch.datagram && !watch.listening &&
                    ::getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &length) == 0;
  layer->watches[socket] = watch;
  return 0;
}

void DoEvents(int waitMilliseconds) {
  auto& layer = posix::TheLayer();
  if (!layer) return;
  posix::Poll(*layer, waitMilliseconds);
  // Only the messages posted so far: handlers may post more, which wait for
  // the next round as they would in a message queue.
  for (std::size_t due = layer->posted.size(); due > 0; --due) {
    auto& current = posix::TheLayer();
    if (!current || current->posted.empty()) return;
    const posix::Message message = current->posted.front();
    current->posted.pop_front();
    modEventSocket::Dispatch(message.message, message.wParam, message.lParam);
  }
}

void ShowErrorBox(const std::string& /*description*/, const std::string& /*title*/) {
  // There is no box outside Windows; an owner that wants one shows it itself.
}

}  // namespace net::sys
