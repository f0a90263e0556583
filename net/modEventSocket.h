// The process-wide companion of CEventSocket: starts and stops the socket
// layer with the live objects, maps platform sockets and running lookups to
// the objects that own them, keeps accepted connections nobody has claimed
// yet, and hands every notification to its object.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "net/SocketPlatform.h"

namespace net {

class CEventSocket;

namespace modEventSocket {

std::int32_t InitiateProcesses();
std::int32_t FinalizeProcesses();

bool RegisterSocket(sys::SocketNumber socket, CEventSocket* object, bool withNotifications);
void UnregisterSocket(sys::SocketNumber socket);
bool IsSocketRegistered(sys::SocketNumber socket);

// 0 when the lookup did not start; error then tells why.
sys::RequestHandle StartResolution(const std::string& host, sys::HostBuffer& area,
                                   CEventSocket* object, int* error = nullptr);
void UnregisterResolution(sys::RequestHandle request);

void RegisterAccept(sys::SocketNumber socket);
bool IsAcceptPending(sys::SocketNumber socket);
void UnregisterAccept(sys::SocketNumber socket);
std::shared_ptr<CEventSocket> GetAcceptHolder(sys::SocketNumber socket);

void RepointSocket(sys::SocketNumber socket, CEventSocket* object);

std::string GetErrorDescription(long number);

// The dispatcher: the backends call it for every notification message. The
// tables are read afresh for each message, so an object that has left them
// receives nothing. It never throws.
void Dispatch(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

// What a test may observe about the registry's life.
bool IsLayerStarted();
bool HasNotifier();

}  // namespace modEventSocket
}  // namespace net
