// The program started with arguments, by a scheduler or from a console:
// "/send MENUFILE" sends the menu file's board to the screen of messbay.ini
// and "/preview MENUFILE OUT.bmp" writes that board to a bitmap. No window
// appears and neither messbay.ini nor default.lst is written; each run
// appends one line to platora.log and prints it to the console it was
// started from. The send uses a local port of its own, so it works while the
// window is open and alongside another send.
#pragma once
#include <optional>

namespace unattended {

// The first of the local ports the send tries, one after the other, until
// one is free (the window's link has 8888).
inline constexpr int kFirstPort = 8889;
inline constexpr int kPortCount = 10;

// The run's exit code when the command line has arguments; nothing when it
// has none (the program then opens its window).
std::optional<int> RunIfAsked(const wchar_t* commandLine);

}  // namespace unattended
