// Where the library keeps its own settings: ledapi.ini beside the DLL (or
// the file LEDAPI_INI names, for tests and side-by-side installations), the
// E1.31 identifier made once for the installation and kept beside it, and
// ledapi.log, where a refused settings file says why.
#pragma once
#include <string>

#include "ledapi/core/ledapi_ini.h"

namespace ledapi {

// The settings file's path (UTF-8).
std::string SettingsPath();

// Reads the settings file; on a refusal writes the reason to the log and
// returns false. `text` receives the file's content, to tell a changed file.
bool LoadSettings(ledp::LedApiConfig& cfg, std::string& text, std::string& error);

// The installation's E1.31 identifier: read from ledapi.cid beside the
// settings file, made and written there the first time (or, where that
// folder cannot be written, in the user's local application data).
ledp::Cid InstallationCid();

// Appends a dated line to ledapi.log beside the settings file (or in the
// temporary folder when that cannot be written) and to the debugger.
void LogLine(const std::string& line);

}  // namespace ledapi
