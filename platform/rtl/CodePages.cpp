#include "CodePages.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include <map>
#include <memory>

#include "SysUtils.h"
#include "Variants.h"

namespace rtl {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Decodes one code point at s[i]; returns false on a malformed or overlong sequence.
bool DecodeUtf8At(std::string_view s, size_t& i, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        cp = b0;
        ++i;
        return true;
    }
    int len;
    char32_t min;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return false;
    }
    if (i + len > s.size()) return false;
    for (int k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return false;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += len;
    return true;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

namespace {

void AppendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

template <bool Strict>
std::u16string Utf8ToWideImpl(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {  // ASCII fast path
            out.push_back(b);
            ++i;
            continue;
        }
        char32_t cp;
        if (DecodeUtf8At(s, i, cp)) {
            AppendUtf16(out, cp);
        } else if constexpr (Strict) {
            throw EConvertError(Format("Invalid UTF-8 byte $%.2x at position %d", {int(b), int(i + 1)}));
        } else {
            out.push_back(kReplacement);
            ++i;
        }
    }
    return out;
}

template <bool Strict>
std::string WideToUtf8Impl(std::u16string_view s) {
    std::string out;
    out.reserve(s.size() * 3 / 2 + 1);
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDFFF) {
            if (c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
                ++i;
            } else if constexpr (Strict) {
                throw EConvertError(Format("Unpaired surrogate $%.4x at position %d", {int(c), int(i + 1)}));
            } else {
                c = kReplacement;
            }
        }
        AppendUtf8(out, c);
    }
    return out;
}

struct ConverterDeleter {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterDeleter>;

// Opening a converter costs far more than using one: keep one per code page and thread.
UConverter* CachedConverter(int codePage) {
    thread_local std::map<int, ConverterPtr> cache;
    auto it = cache.find(codePage);
    if (it != cache.end()) return it->second.get();
    const std::string name = CodePageConverterName(codePage);
    if (name.empty()) throw EConvertError(Format("Code page %d is not supported", {codePage}));
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr conv(ucnv_open(name.c_str(), &status));
    if (U_FAILURE(status) || !conv) throw EConvertError(Format("Code page %d is not supported", {codePage}));
    // Unmappable characters become "?", as the platform's conversions do.
    status = U_ZERO_ERROR;
    ucnv_setSubstChars(conv.get(), "?", 1, &status);
    UConverter* raw = conv.get();
    cache.emplace(codePage, std::move(conv));
    return raw;
}

void SetCallbacks(UConverter* conv, bool strict) {
    UErrorCode status = U_ZERO_ERROR;
    if (strict) {
        ucnv_setFromUCallBack(conv, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
        ucnv_setToUCallBack(conv, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    } else {
        ucnv_setFromUCallBack(conv, UCNV_FROM_U_CALLBACK_SUBSTITUTE, nullptr, nullptr, nullptr, &status);
        ucnv_setToUCallBack(conv, UCNV_TO_U_CALLBACK_SUBSTITUTE, nullptr, nullptr, nullptr, &status);
    }
}

std::string Encode(std::u16string_view text, int codePage, bool strict) {
    if (codePage == CP_UTF8) return strict ? WideToUtf8(text) : WideToUtf8Lenient(text);
    if (text.empty()) return {};
    UConverter* conv = CachedConverter(codePage);
    SetCallbacks(conv, strict);
    ucnv_resetFromUnicode(conv);
    std::string out(static_cast<size_t>(UCNV_GET_MAX_BYTES_FOR_STRING(text.size(), ucnv_getMaxCharSize(conv))), '\0');
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = ucnv_fromUChars(conv, out.data(), static_cast<int32_t>(out.size()),
                                      reinterpret_cast<const UChar*>(text.data()), static_cast<int32_t>(text.size()),
                                      &status);
    if (U_FAILURE(status)) {
        throw EConvertError(Format("Text cannot be written in code page %d (%s)", {codePage, u_errorName(status)}));
    }
    out.resize(static_cast<size_t>(n));
    return out;
}

std::u16string Decode(std::string_view bytes, int codePage, bool strict) {
    if (codePage == CP_UTF8) return strict ? Utf8ToWide(bytes) : Utf8ToWideLenient(bytes);
    if (bytes.empty()) return {};
    UConverter* conv = CachedConverter(codePage);
    SetCallbacks(conv, strict);
    ucnv_resetToUnicode(conv);
    std::u16string out(bytes.size() * 2 + 1, u'\0');
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = ucnv_toUChars(conv, reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                                    bytes.data(), static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status)) {
        throw EConvertError(Format("Bytes cannot be read in code page %d (%s)", {codePage, u_errorName(status)}));
    }
    out.resize(static_cast<size_t>(n));
    return out;
}

}  // namespace

std::u16string Utf8ToWide(std::string_view s) { return Utf8ToWideImpl<true>(s); }
std::string WideToUtf8(std::u16string_view s) { return WideToUtf8Impl<true>(s); }
std::u16string Utf8ToWideLenient(std::string_view s) { return Utf8ToWideImpl<false>(s); }
std::string WideToUtf8Lenient(std::u16string_view s) { return WideToUtf8Impl<false>(s); }

size_t Utf8SequenceLength(std::string_view s, size_t i) {
    if (i >= s.size()) return 0;
    size_t k = i;
    char32_t cp;
    return DecodeUtf8At(s, k, cp) ? k - i : 0;
}

bool IsValidUtf8(std::string_view s) {
    size_t i = 0;
    char32_t cp;
    while (i < s.size()) {
        if (!DecodeUtf8At(s, i, cp)) return false;
    }
    return true;
}

std::string CodePageConverterName(int codePage) {
    // ICU's canonical names for Microsoft's tables; "cp950" would open IBM's table instead.
    switch (codePage) {
        case 936: return "windows-936-2000";
        case 950: return "windows-950-2000";
        case 437: return "ibm-437_P100-1995";
        case 1252: return "ibm-5348_P100-1997";
        case 54936: return "gb18030";
        case 65001: return "UTF-8";
        case 1200: return "UTF-16LE";
        case 1201: return "UTF-16BE";
        default: break;
    }
    for (const char* prefix : {"windows-", "ibm-"}) {
        const std::string name = prefix + std::to_string(codePage);
        UErrorCode status = U_ZERO_ERROR;
        if (const char* canonical = ucnv_getCanonicalName(name.c_str(), "", &status); canonical && U_SUCCESS(status)) {
            return canonical;
        }
    }
    return {};
}

bool IsCodePageSupported(int codePage) {
    if (codePage == CP_UTF8) return true;
    try {
        CachedConverter(codePage);
        return true;
    } catch (const EConvertError&) {
        return false;
    }
}

std::string EncodeCodePage(std::u16string_view text, int codePage) { return Encode(text, codePage, false); }
std::u16string DecodeCodePage(std::string_view bytes, int codePage) { return Decode(bytes, codePage, false); }
std::string EncodeCodePageStrict(std::u16string_view text, int codePage) { return Encode(text, codePage, true); }
std::u16string DecodeCodePageStrict(std::string_view bytes, int codePage) { return Decode(bytes, codePage, true); }

}  // namespace rtl
