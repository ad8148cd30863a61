// Text encodings. Inside the program texts are UTF-8 (std::string) and wide texts UTF-16
// (std::u16string); real code pages (GBK 936, Big5 950, 437 ...) exist only at the edges.
#pragma once

#include <string>
#include <string_view>

namespace rtl {

inline constexpr int CP_UTF8 = 65001;
inline constexpr int CP_GBK = 936;
inline constexpr int CP_BIG5 = 950;
inline constexpr int CP_OEM_US = 437;

// UTF-8 <-> UTF-16. The strict forms raise EConvertError on malformed input; the lenient forms
// put U+FFFD (or its UTF-8 bytes) in place of what cannot be read.
std::u16string Utf8ToWide(std::string_view s);
std::string WideToUtf8(std::u16string_view s);
std::u16string Utf8ToWideLenient(std::string_view s);
std::string WideToUtf8Lenient(std::u16string_view s);
bool IsValidUtf8(std::string_view s);
// The length of the well-formed UTF-8 sequence at s[i], or 0 when the bytes there are none.
size_t Utf8SequenceLength(std::string_view s, size_t i);
void AppendUtf8(std::string& out, char32_t cp);

// The ICU converter name of a code page number, or empty when the code page is unknown.
std::string CodePageConverterName(int codePage);
bool IsCodePageSupported(int codePage);

// Wide text to the bytes of a code page and back. Characters the code page cannot hold become
// "?" (encoding) or U+FFFD (decoding), as the platform's conversions do. An unknown code page
// raises EConvertError.
std::string EncodeCodePage(std::u16string_view text, int codePage);
std::u16string DecodeCodePage(std::string_view bytes, int codePage);

// Strict forms: raise EConvertError naming the first character or byte that does not convert.
std::string EncodeCodePageStrict(std::u16string_view text, int codePage);
std::u16string DecodeCodePageStrict(std::string_view bytes, int codePage);

}  // namespace rtl
