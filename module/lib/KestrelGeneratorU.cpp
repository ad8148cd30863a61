#include "KestrelGeneratorU.h"

#include <cstdint>

#include "LibStrs.h"
#include "platform/os/Clock.h"
#include "platform/os/Registry.h"
#include "platform/rtl/Variants.h"

namespace {

uint8_t RotateRight(uint8_t v, unsigned n) {
    n %= 8;
    return n == 0 ? v : static_cast<uint8_t>((v >> n) | (v << (8 - n)));
}

uint8_t RotateLeft(uint8_t v, unsigned n) {
    n %= 8;
    return n == 0 ? v : static_cast<uint8_t>((v << n) | (v >> (8 - n)));
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string EncodeSQLSa(std::string_view password) {
    if (password.empty()) password = kEmptyPasswordMarker;
    static constexpr char hex[] = "0123456789abcdef";
    std::string out;
    out.reserve(password.size() * 2);
    for (size_t i = 0; i < password.size(); ++i) {
        const uint8_t b = RotateRight(static_cast<uint8_t>(password[i]), static_cast<unsigned>((i + 1) % 8));
        out.push_back(hex[b >> 4]);
        out.push_back(hex[b & 0x0F]);
    }
    return out;
}

std::string DecodeSQLSa(std::string_view stored) {
    std::string out;
    try {
        for (size_t i = 0; i + 1 < stored.size(); i += 2) {
            const int hi = HexDigit(stored[i]);
            const int lo = HexDigit(stored[i + 1]);
            if (hi < 0 || lo < 0) {
                throw rtl::EConvertError("'$" + std::string(stored.substr(i, 2)) + "' is not a valid integer value");
            }
            const unsigned position = static_cast<unsigned>(i / 2 + 1);
            out.push_back(static_cast<char>(RotateLeft(static_cast<uint8_t>(hi * 16 + lo), position % 8)));
        }
    } catch (const std::exception& e) {
        ReportException(&e, EncodeSQLSa("DecodeSQLSa"), "解析 Sa 时发生错误!");
        return std::string(kPasswordError);
    }
    if (out == kEmptyPasswordMarker) return {};
    return out;
}

std::string GetKestrelLogFolder() {
    try {
        std::string folder = GetLauncherFolder();
        if (folder.empty()) {
            folder = GetTempFolder();
            if (folder.size() > 255) folder.clear();  // the system reads at most 255 characters
        }
        return folder.empty() ? std::string("/tmp") : folder;
    } catch (const std::exception&) {
        return "/tmp";
    }
}

bool WriteKestrelLog(std::string_view text) {
    try {
        const rtl::TDateTime now = os::Now();
        const rtl::FormatSettingsT& fs = rtl::FormatSettings();
        const std::string stamp = rtl::FormatDateTime(fs.ShortDateFormat + " " + fs.LongTimeFormat, now);
        const std::string name = "Alert_KestrelGenerator_" + rtl::FormatDateTime("YYYYMMDD", now) + ".log";
        return WriteLogLine(GetKestrelLogFolder(), name, stamp, text);
    } catch (const std::exception&) {
        return false;
    }
}

void ReportException(const std::exception* e, std::string_view location, std::string_view programmerMessage) {
    static constexpr std::string_view dashes = "----------------------------------";
    std::string head(dashes);
    if (!rtl::Trim(location).empty()) head.append(" on ").append(location).append(" ");
    head.append(dashes);
    WriteKestrelLog(head);
    if (e) {
        WriteKestrelLog("讯息信息:");
        int k = 0;
        try {
            if (const auto* db = dynamic_cast<const rtl::EDBEngineError*>(e)) {
                for (const auto& entry : db->Errors()) {
                    ++k;
                    WriteKestrelLog(rtl::Format("EDBEngineError Error %.2d: Code: %d, Message: %s", {k, entry.code, entry.message}));
                }
            } else if (const auto* os = dynamic_cast<const rtl::EOSError*>(e)) {
                ++k;
                WriteKestrelLog(rtl::Format("EWin32Error Error %.2d: Code: %d, Message: %s", {k, os->ErrorCode(), os->Message()}));
            } else if (const auto* io = dynamic_cast<const rtl::EInOutError*>(e)) {
                ++k;
                WriteKestrelLog(rtl::Format("EInOutError Error %.2d: Code: %d, Message: %s", {k, io->ErrorCode(), io->Message()}));
            } else {
                ++k;
                // The message is appended as it stands: a "%" in it is no format specifier.
                WriteKestrelLog(rtl::Format("Exception is %s\r\nMessage %.2d: ", {rtl::ExceptionClassName(*e), k}) + e->what());
            }
        } catch (const std::exception&) {
            // A report never fails its caller.
        }
        WriteKestrelLog(rtl::Format("ErrorMessage Count: %d", {k}));
    }
    if (!rtl::Trim(programmerMessage).empty()) WriteKestrelLog("Programer Message: " + std::string(programmerMessage));
}
