#include "platform/loop/posix/error_mapping.h"

#include <netdb.h>

#include <cerrno>

namespace tarvik::platform::winsock {

int ErrorFromErrno(int errno_value) {
  switch (errno_value) {
    case 0:
      return 0;
    case EINTR:
      return kWsaEIntr;
    case EACCES:
    case EPERM:
      return kWsaEAcces;
    case EFAULT:
      return kWsaEFault;
    case EINVAL:
      return kWsaEInval;
    case EMFILE:
    case ENFILE:
      return kWsaEMFile;
    case EAGAIN:
      return kWsaEWouldBlock;  // EWOULDBLOCK has the same value here
    case EINPROGRESS:
      return kWsaEInProgress;
    case EALREADY:
      return kWsaEAlready;
    case EBADF:
    case ENOTSOCK:
      return kWsaENotSock;
    case EDESTADDRREQ:
      return kWsaEDestAddrReq;
    case EMSGSIZE:
      return kWsaEMsgSize;
    case EPROTOTYPE:
      return kWsaEPrototype;
    case ENOPROTOOPT:
      return kWsaENoProtoOpt;
    case EPROTONOSUPPORT:
      return kWsaEProtoNoSupport;
    case ESOCKTNOSUPPORT:
      return kWsaESocktNoSupport;
    case EOPNOTSUPP:
      return kWsaEOpNotSupp;
    case EPFNOSUPPORT:
      return kWsaEPfNoSupport;
    case EAFNOSUPPORT:
      return kWsaEAfNoSupport;
    case EADDRINUSE:
      return kWsaEAddrInUse;
    case EADDRNOTAVAIL:
      return kWsaEAddrNotAvail;
    case ENETDOWN:
      return kWsaENetDown;
    case ENETUNREACH:
      return kWsaENetUnreach;
    case ENETRESET:
      return kWsaENetReset;
    case ECONNABORTED:
      return kWsaEConnAborted;
    case ECONNRESET:
      return kWsaEConnReset;
    case ENOBUFS:
    case ENOMEM:
      return kWsaENoBufs;
    case EISCONN:
      return kWsaEIsConn;
    case ENOTCONN:
      return kWsaENotConn;
    // Sending on a connection whose sending side is shut down (locally or by a reset).
    case EPIPE:
    case ESHUTDOWN:
      return kWsaEShutdown;
    case ETOOMANYREFS:
      return kWsaETooManyRefs;
    case ETIMEDOUT:
      return kWsaETimedOut;
    case ECONNREFUSED:
      return kWsaEConnRefused;
    case ELOOP:
      return kWsaELoop;
    case ENAMETOOLONG:
      return kWsaENameTooLong;
    case EHOSTDOWN:
      return kWsaEHostDown;
    case EHOSTUNREACH:
      return kWsaEHostUnreach;
    case ENOTEMPTY:
      return kWsaENotEmpty;
    case EUSERS:
      return kWsaEUsers;
    case EDQUOT:
      return kWsaEDQuot;
    case ESTALE:
      return kWsaEStale;
    case EREMOTE:
      return kWsaERemote;
    default:
      return kWsaSysCallFailure;
  }
}

int ErrorFromResolver(int eai_code) {
  switch (eai_code) {
    case 0:
      return 0;
    case EAI_NONAME:
      return kWsaHostNotFound;
    case EAI_AGAIN:
      return kWsaTryAgain;
    case EAI_FAIL:
      return kWsaNoRecovery;
    case EAI_NODATA:
    case EAI_ADDRFAMILY:
      return kWsaNoData;
    case EAI_MEMORY:
      return kWsaENoBufs;
    case EAI_FAMILY:
      return kWsaEAfNoSupport;
    case EAI_SOCKTYPE:
      return kWsaESocktNoSupport;
    case EAI_SYSTEM:
      return ErrorFromErrno(errno);
    default:
      return kWsaNoRecovery;
  }
}

}  // namespace tarvik::platform::winsock
