#pragma once
#include <string>

#include "platform/WinTypes.h"
// The power request the program makes while it works: the machine stays awake.

using EXECUTION_STATE = DWORD;
constexpr EXECUTION_STATE ES_SYSTEM_REQUIRED = 0x00000001;
constexpr EXECUTION_STATE ES_DISPLAY_REQUIRED = 0x00000002;
constexpr EXECUTION_STATE ES_CONTINUOUS = 0x80000000;

// With ES_CONTINUOUS and ES_SYSTEM_REQUIRED or ES_DISPLAY_REQUIRED: keeps the machine from
// suspending (SYSTEM) and the session from going idle (DISPLAY) until called with
// ES_CONTINUOUS alone, or until the program ends. Here the request goes to the desktop: the
// desktop portal's Inhibit, else logind's, else the screen saver's, with `reason` as the text
// the desktop shows for it (Windows takes none). Without a desktop bus nothing changes and
// nothing fails. One state for the program, asked for on the user-interface thread; a call
// without ES_CONTINUOUS changes nothing. Returns the state before the call.
EXECUTION_STATE SetThreadExecutionState(EXECUTION_STATE flags, const std::string& reason = {});
