// Key files on disk, for the screen (`--make-key`, `--key`) and the library
// (`keyfile` in ledapi.ini). A key file must be readable by its owner and
// not by everyone; the checks are the platform's (file mode here, the access
// list on Windows).
#pragma once
#include <optional>
#include <string>

#include "ledapi/core/crypto.h"

namespace ledp::keys {

// The key in the file at `path` (UTF-8). Nothing, with "PATH: reason" in
// `error`, when the file cannot be read, is readable by everyone, or does
// not hold exactly one key.
std::optional<crypto::Key> LoadKeyFile(const std::string& path, std::string& error);

// Why a file holding a key is open to everyone (empty when it is not, or
// when that cannot be told because the file cannot be opened).
std::string ReadableByEveryone(const std::string& path);

// A new key from the system's random source in a new file that only its
// owner may read. An existing file is never overwritten.
bool MakeKeyFile(const std::string& path, std::string& error);

}  // namespace ledp::keys
