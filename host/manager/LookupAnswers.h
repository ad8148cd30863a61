// The lookup window's user, for runs without a window system: the answers are queued in a file
// named by the environment variable KPA_LOOKUP_ANSWERS, one JSON value a line, taken in order.
//
//   # comments and blank lines are skipped
//   {"F2GetData": 0}             an answer for one operation: taken only by that operation
//   "20240315"                   a bare answer: taken by whichever operation asks next
//   null                         the user cancels
//
// A taken line is removed from the file, so a run that stops half-way leaves the answers it did
// not use. No variable, no file or no line left: the user cancels.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "Json.h"

namespace manager {

inline constexpr const char* kLookupAnswersVariable = "KPA_LOOKUP_ANSWERS";

// The next answer for `member` ("F2GetData", "ShowInputDay", "GetPhrase"); nullopt when none is
// queued. Raises com::EOleException when the next line is no JSON or is meant for another
// operation (the line then stays queued).
std::optional<launcher::Json> TakeLookupAnswer(std::string_view member);

}  // namespace manager
