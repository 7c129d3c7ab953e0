// The two records exchanged with the controller library, kept free of
// <windows.h> so that the portable log-line code and the library's own core
// can use them. Every field is a 32-bit signed integer; the layout is fixed
// by the library's binary interface, hence the offset checks below.
#pragma once
#include <cstddef>
#include <cstdint>

#pragma pack(push, 4)

// Passed to LED_Open. The program fills LinkType and LocalPort only.
struct TLedDevice {
  int32_t LinkType;     // 0 serial (not offered by our library), 1 UDP network
  int32_t ComPort;      // serial links only
  int32_t BaudRate;     // serial links only
  int32_t Reserved1;
  int32_t LocalPort;    // UDP port the link sends from and listens on
  int32_t Reserved[7];
};

// Pointed to by WParam of the notification message. Owned by the library.
struct TLedNotify {
  int32_t Kind;         // 2 send finished, 3 command answered, 4 timeout
  int32_t Command;      // 4 query, 6 clock, 9/10 power get/set, 11/12 brightness get/set
  int32_t Status;       // 0 done, 99 refused (automatic mode), other: rejected
  int32_t Value;        // power 1 = on; brightness level
  int32_t Address;      // numeric target address given with the command
  int32_t Port;         // target UDP port
  int32_t Link;         // link handle the command was issued on
  int32_t LinkType;     // 0 serial, otherwise network
  int32_t Sequence;     // the library's command number on that link
  int32_t Reserved[10];
  char Host[64];        // target address text, zero-terminated (GBK)
};

#pragma pack(pop)

static_assert(sizeof(TLedDevice) == 48);
static_assert(offsetof(TLedDevice, LinkType) == 0);
static_assert(offsetof(TLedDevice, LocalPort) == 16);

static_assert(offsetof(TLedNotify, Kind) == 0);
static_assert(offsetof(TLedNotify, Command) == 4);
static_assert(offsetof(TLedNotify, Status) == 8);
static_assert(offsetof(TLedNotify, Value) == 12);
static_assert(offsetof(TLedNotify, Address) == 16);
static_assert(offsetof(TLedNotify, LinkType) == 28);
static_assert(offsetof(TLedNotify, Host) == 76);
static_assert(sizeof(TLedNotify) == 140);

// Notification kinds and command numbers as the library reports them.
namespace led {
constexpr int32_t kKindSendDone = 2;
constexpr int32_t kKindAnswer = 3;
constexpr int32_t kKindTimeout = 4;

constexpr int32_t kCmdSend = 1;  // Command of send notifications (not read by the program)
constexpr int32_t kCmdQuery = 4;
constexpr int32_t kCmdAdjustTime = 6;
constexpr int32_t kCmdGetPower = 9;
constexpr int32_t kCmdSetPower = 10;
constexpr int32_t kCmdGetBrightness = 11;
constexpr int32_t kCmdSetBrightness = 12;

constexpr int32_t kStatusOk = 0;
constexpr int32_t kStatusAutoMode = 99;
constexpr int32_t kStatusRejected = 1;  // a display program the screen could not take
}  // namespace led
