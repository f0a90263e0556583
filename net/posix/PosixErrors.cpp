#include "net/posix/PosixErrors.h"

#include <netdb.h>

#include <cerrno>
#include <utility>

namespace net::posix {

int MapErrno(int error) {
  static const std::pair<int, int> kMap[] = {
      {EINTR, 10004},        {EACCES, 10013},          {EPERM, 10013},
      {EFAULT, 10014},       {EINVAL, 10022},          {EMFILE, 10024},
      {ENFILE, 10024},       {EAGAIN, 10035},          {EINPROGRESS, 10036},
      {EALREADY, 10037},     {ENOTSOCK, 10038},        {EBADF, 10038},
      {EDESTADDRREQ, 10039}, {EMSGSIZE, 10040},        {EPROTOTYPE, 10041},
      {ENOPROTOOPT, 10042},  {EPROTONOSUPPORT, 10043}, {ESOCKTNOSUPPORT, 10044},
      {EOPNOTSUPP, 10045},   {EPFNOSUPPORT, 10046},    {EAFNOSUPPORT, 10047},
      {EADDRINUSE, 10048},   {EADDRNOTAVAIL, 10049},   {ENETDOWN, 10050},
      {ENETUNREACH, 10051},  {ENETRESET, 10052},       {ECONNABORTED, 10053},
      {ECONNRESET, 10054},   {ENOBUFS, 10055},         {ENOMEM, 10055},
      {EISCONN, 10056},      {ENOTCONN, 10057},        {ESHUTDOWN, 10058},
      {EPIPE, 10058},        {ETIMEDOUT, 10060},       {ECONNREFUSED, 10061},
      {EHOSTUNREACH, 10065}, {EHOSTDOWN, 10065},       {EUSERS, 10067},
  };
  if (error == EWOULDBLOCK) return 10035;
  for (const auto& [code, number] : kMap) {
    if (code == error) return number;
  }
  // No classic counterpart: report the generic failure of a socket call.
  return 10022;
}

int MapLookupError(int gaiError, int savedErrno) {
  switch (gaiError) {
    case 0:
      return 0;
    case EAI_NONAME:
      return 11001;
    case EAI_AGAIN:
      return 11002;
#ifdef EAI_NODATA
    case EAI_NODATA:
      return 11004;
#endif
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY:
      return 11004;
#endif
    case EAI_MEMORY:
      return 10055;
    case EAI_SYSTEM:
      return MapErrno(savedErrno);
    default:
      return 11003;
  }
}

}  // namespace net::posix
