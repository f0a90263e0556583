// A port on 127.0.0.1 that refuses every connection for as long as the object
// lives: bound and never listening. Held, the port cannot be taken by another
// socket, nor by a client's own ephemeral port, which would connect to itself.
#pragma once

#include "net/CEventSocket.h"

namespace net::test {

class RefusingPort {
 public:
  RefusingPort() { socket_.Bind(0, "127.0.0.1"); }

  int Port() const { return socket_.LocalPort(); }

 private:
  CEventSocket socket_;
};

}  // namespace net::test
