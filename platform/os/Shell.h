// Opening documents with the desktop's default handler (the system's shell "open" verb).
//
// An address that is no URL is a file path: the system's "\" separators become "/". The
// handler is the program named by the environment variable KPA_SHELL_OPEN when set (used by
// tests and kiosk set-ups), else xdg-open. The handler runs detached; the call does not wait.
#pragma once

#include <cstdint>
#include <string>

namespace os {

inline constexpr int SW_SHOW = 5;

// The address as the handler receives it.
std::string ShellTarget(const std::string& address);

// Starts the handler for `file` with `verb` ("open"); true when it could be started. Parameters
// and working folder are passed on when given.
bool ShellExecute(uintptr_t owner, const std::string& verb, const std::string& file, const std::string& parameters,
                  const std::string& directory, int showCommand);

}  // namespace os
