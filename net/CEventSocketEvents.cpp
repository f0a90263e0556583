#include "net/CEventSocketEvents.h"

#include "net/SocketPlatform.h"

namespace net {

void CEventSocketEvents::ShowErrorBox(const std::string& description, const std::string& source) {
  sys::ShowErrorBox(description, source);
}

}  // namespace net
