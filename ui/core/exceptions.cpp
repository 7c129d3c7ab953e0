#include "exceptions.h"

namespace plat {

std::string IoErrorMessage(int code) {
  switch (code) {
    case ioFileNotFound: return "File not found";
    case ioPathNotFound: return "Path not found";
    case ioAccessDenied: return "File access denied";
    case ioInvalidNumeric: return "Invalid numeric input";
    case 100: return "Disk read error";
    case 101: return "Disk write error";
    case 103: return "File not open";
    default: return "I/O error " + std::to_string(code);
  }
}

void RaiseInOutError(int code) { throw EInOutError(code, IoErrorMessage(code)); }

}  // namespace plat
