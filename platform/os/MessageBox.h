// A plain message box for routines below the form layer. The form layer installs its own
// handler; without one the text goes to the standard error stream and, when the standard
// input is a terminal, the call waits for Enter (the OK button).
#pragma once

#include <functional>
#include <string>

namespace os {

void ShowMessage(const std::string& text);
void SetMessageHandler(std::function<void(const std::string&)> handler);  // empty: the default

}  // namespace os
