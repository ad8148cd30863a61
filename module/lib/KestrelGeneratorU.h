// The launcher's password codec and the exception reports written to the Kestrel log.
#pragma once

#include <exception>
#include <string>
#include <string_view>

// Stored database passwords: two lower-case hexadecimal digits per byte, the byte at position i
// (from 1) rotated right by i mod 8 bits. An empty password is stored as a marker text.
std::string EncodeSQLSa(std::string_view password);
// The reverse; a pair that is not hexadecimal gives "TG_Say_Password_Error" and an exception
// report. A trailing single character is ignored.
std::string DecodeSQLSa(std::string_view stored);

inline constexpr std::string_view kEmptyPasswordMarker = "TG_Say_NoPassWord_ThePassWordIsEmpty";
inline constexpr std::string_view kPasswordError = "TG_Say_Password_Error";

// The folder below which the Kestrel log's "Log" folder lies.
std::string GetKestrelLogFolder();
bool WriteKestrelLog(std::string_view text);
// Writes a report of an exception (which may be absent) to the Kestrel log.
void ReportException(const std::exception* e, std::string_view location, std::string_view programmerMessage);
