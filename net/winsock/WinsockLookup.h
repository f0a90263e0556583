// Asynchronous lookups through WSAAsyncGetHostByName. Each request gets a
// result area of its own that lives until its completion message has been
// seen (or the layer stops): a cancelled request may still be written by the
// stack, so its area must not be the requester's.
#pragma once

#include <winsock2.h>
#include <windows.h>

namespace net::winsock {

HWND NotifierWindow();
// On the window's thread, before the completion is dispatched: copies the
// first addresses into the requester's area if the request is still wanted.
void CompleteLookup(WPARAM request, LPARAM result);
// Releases every result area; called after the layer has stopped.
void ReleaseLookups();

}  // namespace net::winsock
