// Replacing a file in one step: the new content goes to a temporary file in
// the target's folder, is flushed to disk and then renamed over the target.
// Until Commit succeeds the old file is untouched; on any failure (or when the
// writer is destroyed without Commit) the temporary file is removed.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace plat {

class AtomicFileWriter {
 public:
  // Creates the temporary file; raises EInOutError.
  explicit AtomicFileWriter(std::string target);
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  void Write(std::string_view bytes);  // raises EInOutError
  void Commit();                       // flush, sync, replace; raises EInOutError
  const std::string& TempPath() const { return temp_; }

 private:
  void Discard() noexcept;

  std::string target_;
  std::string temp_;
  int fd_ = -1;
  bool done_ = false;
};

// The whole content at once.
void WriteFileAtomically(const std::string& target, std::string_view bytes);

}  // namespace plat
