#include "exceptions.h"

namespace plat {

std::string IoErrorMessage(int code) {
  // Only these three have words of their own; every other code is shown by
  // its number, which is what the operator can look up.
  switch (code) {
    case ioFileNotFound: return "File not found";
    case ioAccessDenied: return "File access denied";
    case ioInvalidNumeric: return "Invalid numeric input";
    default: return "I/O error " + std::to_string(code);
  }
}

void RaiseInOutError(int code) { throw EInOutError(code, IoErrorMessage(code)); }

}  // namespace plat
