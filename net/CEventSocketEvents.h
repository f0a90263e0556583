// The owner's side of a CEventSocket: its events, delivered synchronously in
// the order the object raises them. An owner overrides the events it handles;
// a handler may call any member of the object that raised the event.
#pragma once

#include <cstdint>
#include <string>

namespace net {

class CEventSocketEvents {
 public:
  virtual ~CEventSocketEvents() = default;

  virtual void CloseSck() {}
  virtual void Connect() {}
  virtual void ConnectionRequest(std::int32_t /*requestID*/) {}
  virtual void DataArrival(std::int32_t /*bytesTotal*/) {}
  // cancelDisplay arrives True; a handler that clears it asks for the box.
  virtual void Error(std::int16_t /*number*/, const std::string& /*description*/,
                     std::int32_t /*scode*/, const std::string& /*source*/,
                     const std::string& /*helpFile*/, std::int32_t /*helpContext*/,
                     bool& /*cancelDisplay*/) {}
  virtual void SendComplete() {}
  virtual void SendProgress(std::int32_t /*bytesSent*/, std::int32_t /*bytesRemaining*/) {}

  // The modal box shown after an Error handler cleared cancel display: on
  // Windows a message box titled with the source, elsewhere nothing unless the
  // owner shows one here.
  virtual void ShowErrorBox(const std::string& description, const std::string& source);
};

}  // namespace net
