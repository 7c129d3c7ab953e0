// The runtime's exception family. Messages are UTF-8; the Win32 shell turns
// them into wide text for the error box.
#pragma once
#include <exception>
#include <string>

namespace plat {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// The runtime's I/O error: "File not found", "File access denied",
// "Invalid numeric input", "I/O error %d".
class EInOutError : public Exception {
 public:
  EInOutError(int code, std::string message) : Exception(std::move(message)), code_(code) {}
  int ErrorCode() const { return code_; }

 private:
  int code_;
};

class EConvertError : public Exception { using Exception::Exception; };
class EStreamError : public Exception { using Exception::Exception; };
class EReadError : public EStreamError { using EStreamError::EStreamError; };
class EWriteError : public EStreamError { using EStreamError::EStreamError; };
class EFOpenError : public EStreamError { using EStreamError::EStreamError; };
class EFCreateError : public EStreamError { using EStreamError::EStreamError; };
class EInvalidGraphic : public Exception { using Exception::Exception; };

// Runtime I/O error codes and their standard texts.
enum IoErrorCode : int {
  ioFileNotFound = 2,
  ioPathNotFound = 3,
  ioAccessDenied = 5,
  ioInvalidNumeric = 106,
};
std::string IoErrorMessage(int code);
[[noreturn]] void RaiseInOutError(int code);

}  // namespace plat
