// The event loop that stands in for the notification window: it watches the
// sockets that asked for notifications and posts the same messages, with the
// same re-enabling rules, as WSAAsyncSelect does (a read, accept or write
// notification comes again only after the matching call), and it delivers the
// resolver's completions. Everything runs on the thread that calls DoEvents.
#pragma once

#include <cstdint>

namespace net::posix {

// What the socket calls tell the loop, so that it can re-enable notifications.
void NoteReceived(int fd);
void NoteSendBlocked(int fd);
void NoteAccepted(int listener, int fd);
void NoteConnecting(int fd);
void NoteListening(int fd);
// A connection attempt that ended at once: its result arrives as a
// notification, as it would from an asynchronous attempt.
void PostConnectResult(int fd, int error);
void Forget(int fd);

// Queues a message for the dispatcher.
void Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
// The resolver wakes the loop through this descriptor; -1 without a layer.
int ResolverWakeFd();

}  // namespace net::posix
