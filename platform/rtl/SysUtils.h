// Exceptions, formatting, numbers, trimming and date-time values, with the class library's
// semantics: the module's texts and messages depend on them to the character.
#pragma once

#include <cstdint>
#include <exception>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rtl {

class Variant;

// ---- Exceptions ------------------------------------------------------------------------------

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }
    void SetMessage(std::string m) { message_ = std::move(m); }
    // The class name the system reports (logs, exception reports).
    virtual const char* ClassName() const noexcept { return "Exception"; }

private:
    std::string message_;
};

class EConvertError : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const noexcept override { return "EConvertError"; }
};

class EVariantError : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const noexcept override { return "EVariantError"; }
};

class EVariantTypeCastError : public EVariantError {
public:
    using EVariantError::EVariantError;
    const char* ClassName() const noexcept override { return "EVariantTypeCastError"; }
};

class ERangeError : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const noexcept override { return "ERangeError"; }
};

class EListError : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const noexcept override { return "EListError"; }
};

// An operating-system failure with its error number.
class EOSError : public Exception {
public:
    EOSError(std::string message, int code) : Exception(std::move(message)), code_(code) {}
    int ErrorCode() const noexcept { return code_; }
    const char* ClassName() const noexcept override { return "EOSError"; }

private:
    int code_;
};

// An input/output failure with its error number.
class EInOutError : public Exception {
public:
    EInOutError(std::string message, int code) : Exception(std::move(message)), code_(code) {}
    int ErrorCode() const noexcept { return code_; }
    const char* ClassName() const noexcept override { return "EInOutError"; }

private:
    int code_;
};

// A database engine failure carrying the engine's list of (code, message) errors.
class EDBEngineError : public Exception {
public:
    struct Entry {
        int code;
        std::string message;
    };
    EDBEngineError(std::string message, std::vector<Entry> errors)
        : Exception(std::move(message)), errors_(std::move(errors)) {}
    const std::vector<Entry>& Errors() const noexcept { return errors_; }
    const char* ClassName() const noexcept override { return "EDBEngineError"; }

private:
    std::vector<Entry> errors_;
};

// The class name of any exception: ours report their own, others their demangled type.
std::string ExceptionClassName(const std::exception& e);

// ---- Locale settings used by formatting --------------------------------------------------------

struct FormatSettingsT {
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
    char DateSeparator = '/';
    char TimeSeparator = ':';
    std::string ShortDateFormat = "yyyy/M/d";
    std::string LongDateFormat = "yyyy'年'M'月'd'日'";
    std::string ShortTimeFormat = "H:mm";
    std::string LongTimeFormat = "H:mm:ss";
    std::string TimeAMString = "上午";
    std::string TimePMString = "下午";
    std::string CurrencyString = "¥";
    int CurrencyFormat = 0;     // 0: "¥1"
    int NegCurrFormat = 2;      // 2: "¥-1"
    int CurrencyDecimals = 2;
    std::string ShortMonthNames[12] = {"1月", "2月", "3月", "4月", "5月", "6月",
                                       "7月", "8月", "9月", "10月", "11月", "12月"};
    std::string LongMonthNames[12] = {"一月", "二月", "三月", "四月", "五月", "六月",
                                      "七月", "八月", "九月", "十月", "十一月", "十二月"};
    std::string ShortDayNames[7] = {"周日", "周一", "周二", "周三", "周四", "周五", "周六"};
    std::string LongDayNames[7] = {"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
};

// The process-wide settings, as the platform keeps them (a Chinese workstation's by default).
FormatSettingsT& FormatSettings();

// ---- Format ----------------------------------------------------------------------------------

// Format with the class library's rules: %[index:][-][width][.precision]type, type one of
// d u e f g n m p s x (any case), '*' for width or precision from the arguments, "%%" for "%".
// Raises EConvertError when an argument is missing or does not suit its specifier.
std::string Format(std::string_view fmt, std::span<const Variant> args);
std::string Format(std::string_view fmt, std::initializer_list<Variant> args);

// ---- Texts -----------------------------------------------------------------------------------

std::string Trim(std::string_view s);       // blanks and control characters at both ends
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
std::string UpperCase(std::string_view s);  // ASCII letters only
std::string LowerCase(std::string_view s);
bool SameText(std::string_view a, std::string_view b);  // ASCII case-insensitive
int CompareText(std::string_view a, std::string_view b);
std::string AnsiUpperCase(std::string_view s);  // every letter (Unicode case mapping)
std::string AnsiLowerCase(std::string_view s);
bool AnsiSameText(std::string_view a, std::string_view b);
bool StartsText(std::string_view prefix, std::string_view s);
std::string StringOfChar(char c, int count);
std::string StringReplaceAll(std::string_view s, std::string_view from, std::string_view to);

// ---- Numbers ---------------------------------------------------------------------------------

std::string IntToStr(int64_t v);
std::string IntToHex(int64_t v, int digits);
// The platform's integer reading: optional leading blanks, sign, decimal or hexadecimal
// ("$1F", "0x1F"); nothing may follow; the value must fit 32 bits.
bool TryStrToInt(std::string_view s, int& out);
bool TryStrToInt64(std::string_view s, int64_t& out);
int StrToInt(std::string_view s);  // raises EConvertError "'x' is not a valid integer value"
int64_t StrToInt64(std::string_view s);
int StrToIntDef(std::string_view s, int def);
// Strict decimal reading: optional sign and digits only (ini integers).
bool TryStrToIntDecimal(std::string_view s, int& out);

enum class FloatFormat { General, Exponent, Fixed, Number, Currency };
std::string FloatToStrF(double v, FloatFormat format, int precision, int digits);
std::string FloatToStr(double v);  // general, 15 significant digits
// Decimal number with the point, optional exponent, blanks allowed around it.
bool TryStrToFloat(std::string_view s, double& out);
double StrToFloat(std::string_view s);  // raises EConvertError "'x' is not a valid floating point value"
double StrToFloatDef(std::string_view s, double def);

// ---- Date-time values ------------------------------------------------------------------------
// Days since 30 December 1899 with the time of day as the fraction.

using TDateTime = double;

struct DateParts {
    int year = 0, month = 0, day = 0;
};
struct TimeParts {
    int hour = 0, minute = 0, second = 0, msec = 0;
};

bool IsLeapYear(int year);
int DaysInAMonth(int year, int month);  // 0 when the month is outside 1..12
bool TryEncodeDate(int year, int month, int day, TDateTime& out);
TDateTime EncodeDate(int year, int month, int day);  // raises EConvertError
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& out);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
DateParts DecodeDate(TDateTime dt);
TimeParts DecodeTime(TDateTime dt);
int DayOfWeek(TDateTime dt);  // 1 Sunday .. 7 Saturday
TDateTime DateOf(TDateTime dt);

// FormatDateTime with the class library's format letters (y m d h n s z, am/pm, c, t,
// '/' and ':' as the settings' separators, quoted literals); letters in any case.
std::string FormatDateTime(std::string_view fmt, TDateTime dt);
std::string DateToStr(TDateTime dt);
std::string TimeToStr(TDateTime dt);
std::string DateTimeToStr(TDateTime dt);

}  // namespace rtl
