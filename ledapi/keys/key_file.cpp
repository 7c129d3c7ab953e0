#include "ledapi/keys/key_file.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "ledapi/core/key_text.h"

#ifdef _WIN32
#include <windows.h>
#include <aclapi.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#endif

namespace ledp::keys {

namespace {

// Enough for a key and its line end; a longer file is not a key file.
constexpr size_t kMaxKeyFile = 256;

bool Refuse(const std::string& path, const std::string& why, std::string& error) {
  error = path + ": " + why;
  return false;
}

std::optional<crypto::Key> FromText(const std::string& path, const std::string& text, std::string& error) {
  std::string why;
  auto key = ParseKeyText(text, why);
  if (!key) Refuse(path, why, error);
  return key;
}

#ifdef _WIN32

struct HandleCloser {
  void operator()(HANDLE h) const { CloseHandle(h); }
};
using Handle = std::unique_ptr<void, HandleCloser>;
struct LocalFreer {
  void operator()(void* p) const { LocalFree(p); }
};

std::wstring Wide(const std::string& utf8) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  std::wstring w(n > 0 ? n : 1, L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, w.data(), n);
  w.resize(w.size() - 1);
  return w;
}

std::string Code(DWORD e) { return "Windows error " + std::to_string(e); }

// "Readable by everyone" on Windows: the access list is missing (anyone may
// do anything) or lets one of the groups every account or visitor belongs to
// read the data. Rights given to particular accounts or to administrators
// are the owner's business.
std::string EveryoneReads(HANDLE file) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR sd = nullptr;
  const DWORD rc = GetSecurityInfo(file, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                                   nullptr, &sd);
  if (rc != ERROR_SUCCESS) return "its access list cannot be read (" + Code(rc) + ")";
  std::unique_ptr<void, LocalFreer> own(sd);
  if (!dacl) return "readable by everyone (it has no access list)";
  struct Group {
    WELL_KNOWN_SID_TYPE Type;
    const char* Name;
  };
  static const Group groups[] = {{WinWorldSid, "Everyone"},
                                 {WinAuthenticatedUserSid, "Authenticated Users"},
                                 {WinBuiltinUsersSid, "Users"},
                                 {WinBuiltinGuestsSid, "Guests"},
                                 {WinAnonymousSid, "Anonymous"}};
  const DWORD reads = FILE_READ_DATA | GENERIC_READ | GENERIC_ALL;
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    ACE_HEADER* ace = nullptr;
    if (!GetAce(dacl, i, reinterpret_cast<void**>(&ace)) || ace->AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
    if (ace->AceFlags & INHERIT_ONLY_ACE) continue;
    auto* allowed = reinterpret_cast<ACCESS_ALLOWED_ACE*>(ace);
    if (!(allowed->Mask & reads)) continue;
    for (const Group& g : groups) {
      BYTE sid[SECURITY_MAX_SID_SIZE];
      DWORD size = sizeof sid;
      if (CreateWellKnownSid(g.Type, nullptr, sid, &size) && EqualSid(sid, &allowed->SidStart))
        return std::string("readable by everyone (its access list lets \"") + g.Name +
               "\" read it; allow only your own account)";
    }
  }
  return {};
}

#endif

}  // namespace

#ifdef _WIN32

std::optional<crypto::Key> LoadKeyFile(const std::string& path, std::string& error) {
  Handle f(CreateFileW(Wide(path).c_str(), GENERIC_READ | READ_CONTROL, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr));
  if (f.get() == INVALID_HANDLE_VALUE) {
    f.release();
    Refuse(path, "cannot be read (" + Code(GetLastError()) + ")", error);
    return std::nullopt;
  }
  if (std::string why = EveryoneReads(f.get()); !why.empty()) {
    Refuse(path, why, error);
    return std::nullopt;
  }
  char buf[kMaxKeyFile + 1];
  DWORD got = 0;
  if (!ReadFile(f.get(), buf, sizeof buf, &got, nullptr)) {
    Refuse(path, "cannot be read (" + Code(GetLastError()) + ")", error);
    return std::nullopt;
  }
  return FromText(path, std::string(buf, got), error);
}

std::string ReadableByEveryone(const std::string& path) {
  Handle f(CreateFileW(Wide(path).c_str(), READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr));
  if (f.get() == INVALID_HANDLE_VALUE) {
    f.release();
    return {};
  }
  return EveryoneReads(f.get());
}

bool MakeKeyFile(const std::string& path, std::string& error) {
  // An access list with one entry, the current account, not inheriting
  // anything from the folder.
  HANDLE rawToken = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &rawToken))
    return Refuse(path, "the current account is unknown (" + Code(GetLastError()) + ")", error);
  Handle token(rawToken);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  std::vector<BYTE> user(size ? size : 1);
  if (!GetTokenInformation(token.get(), TokenUser, user.data(), size, &size))
    return Refuse(path, "the current account is unknown (" + Code(GetLastError()) + ")", error);
  PSID sid = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
  std::vector<BYTE> aclBytes(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(sid));
  auto* acl = reinterpret_cast<PACL>(aclBytes.data());
  SECURITY_DESCRIPTOR sd;
  if (!InitializeAcl(acl, static_cast<DWORD>(aclBytes.size()), ACL_REVISION) ||
      !AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, sid) ||
      !InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) ||
      !SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE) ||
      !SetSecurityDescriptorControl(&sd, SE_DACL_PROTECTED, SE_DACL_PROTECTED))
    return Refuse(path, "cannot make an access list (" + Code(GetLastError()) + ")", error);
  SECURITY_ATTRIBUTES sa{sizeof sa, &sd, FALSE};

  crypto::Key key;
  if (!crypto::Random(key.data(), key.size())) return Refuse(path, "the system gave no random numbers", error);
  Handle f(CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, &sa, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (f.get() == INVALID_HANDLE_VALUE) {
    f.release();
    const DWORD e = GetLastError();
    return Refuse(path, e == ERROR_FILE_EXISTS ? "already exists; a key file is never overwritten"
                                               : "cannot be created (" + Code(e) + ")",
                  error);
  }
  const std::string text = FormatKeyText(key);
  DWORD wrote = 0;
  if (!WriteFile(f.get(), text.data(), static_cast<DWORD>(text.size()), &wrote, nullptr) || wrote != text.size())
    return Refuse(path, "cannot be written (" + Code(GetLastError()) + ")", error);
  return true;
}

#else

std::optional<crypto::Key> LoadKeyFile(const std::string& path, std::string& error) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    Refuse(path, std::string("cannot be read (") + std::strerror(errno) + ")", error);
    return std::nullopt;
  }
  std::unique_ptr<int, void (*)(int*)> owner(new int(fd), [](int* p) {
    close(*p);
    delete p;
  });
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    Refuse(path, "not a regular file", error);
    return std::nullopt;
  }
  if (st.st_mode & S_IROTH) {
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
    Refuse(path, std::string("readable by everyone (mode ") + mode + "); make it readable by its owner only: chmod 600",
           error);
    return std::nullopt;
  }
  char buf[kMaxKeyFile + 1];
  const ssize_t got = read(fd, buf, sizeof buf);
  if (got < 0) {
    Refuse(path, std::string("cannot be read (") + std::strerror(errno) + ")", error);
    return std::nullopt;
  }
  return FromText(path, std::string(buf, static_cast<size_t>(got)), error);
}

std::string ReadableByEveryone(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !(st.st_mode & S_IROTH)) return {};
  char mode[8];
  std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
  return std::string("readable by everyone (mode ") + mode + "); make it readable by its owner only: chmod 600";
}

bool MakeKeyFile(const std::string& path, std::string& error) {
  crypto::Key key;
  if (!crypto::Random(key.data(), key.size())) return Refuse(path, "the system gave no random numbers", error);
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0)
    return Refuse(path, errno == EEXIST ? "already exists; a key file is never overwritten"
                                        : std::string("cannot be created (") + std::strerror(errno) + ")",
                  error);
  const std::string text = FormatKeyText(key);
  const bool ok = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) && fsync(fd) == 0;
  close(fd);
  if (!ok) return Refuse(path, std::string("cannot be written (") + std::strerror(errno) + ")", error);
  return true;
}

#endif

}  // namespace ledp::keys
