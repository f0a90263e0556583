// errno values and resolver results translated to the classic socket error
// numbers that the socket object reports everywhere.
#pragma once

namespace net::posix {

int MapErrno(int error);
int MapLookupError(int gaiError, int savedErrno);

}  // namespace net::posix
