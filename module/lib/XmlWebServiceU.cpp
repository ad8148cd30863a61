#include "lib/XmlWebServiceU.h"

#include <map>
#include <mutex>

#include "lib/LibStrs.h"
#include "platform/os/Clock.h"
#include "platform/os/DynLibs.h"
#include "platform/os/Environment.h"
#include "platform/os/Files.h"
#include "platform/os/MessageBox.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr std::string_view kDeclaration = R"(<?xml version="1.0" encoding="GB2312"?>)";
constexpr std::string_view kEncoding = R"( encoding="GB2312")";
// Declares stdd as "&stdd;", so that the entity in the portal's answers parses.
constexpr std::string_view kDocType = R"(<!DOCTYPE SC[<!ENTITY stdd "&amp;stdd;">]>)";

constexpr const char* kLibraryName = "CallWebService.dll";
constexpr const char* kEntryPoint = "CallWebServiceFx";
constexpr const char* kTraceMessage = "跟踪测试中断!可在此时设置Dll之Modules。点\"OK\"继续。";

using CallWebServiceFx = const char* (*)(const char* address, const char* method, const char* request,
                                         const char* answerFile);

// The first count characters of a UTF-8 text (never cutting a character).
std::string_view FirstChars(std::string_view text, std::size_t count) {
    std::size_t i = 0;
    for (std::size_t n = 0; i < text.size() && n < count; ++n) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
    }
    return text.substr(0, i);
}

std::string RemoveCrLf(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
            ++i;
            continue;
        }
        out += s[i];
    }
    return out;
}

// Libraries once loaded stay loaded for the life of the process, as the system leaves them.
os::LibHandle LoadKept(std::string_view name) {
    static std::mutex mutex;
    static std::map<std::string, os::LibHandle, std::less<>> loaded;
    std::lock_guard lock(mutex);
    if (auto it = loaded.find(name); it != loaded.end()) return it->second;
    os::LibHandle lib = os::LoadLibrary(name);
    if (lib != nullptr) loaded.emplace(std::string(name), lib);
    return lib;
}

bool TracePauseAsked() {
    std::vector<std::string> args = os::GetCommandLine();
    return args.size() > 1 && rtl::SameText(args.back(), "T");
}

}  // namespace

xml::Document NewXmlDocument() {
    xml::Document doc;
    doc.SetValidateOnParse(false);
    return doc;
}

xml::Document LoadXmlText(std::string_view text) {
    xml::Document doc = NewXmlDocument();
    doc.LoadXML(text);
    return doc;
}

std::string NormalizeXmlHeader(std::string_view text) {
    std::string head = rtl::Trim(RemoveCrLf(rtl::LowerCase(FirstChars(text, 100))));
    bool hasDeclaration = head.starts_with("<?xml");
    bool hasDocType = head.find("<!doctype") != std::string::npos;
    bool hasEncoding = head.find("encoding=") != std::string::npos;

    std::string result(text);
    if (hasDeclaration) {
        std::size_t end = result.find("?>");
        // A declaration that never ends cannot be mended here; the parser will reject it.
        if (end == std::string::npos) return result;
        if (!hasDocType) result.insert(end + 2, kDocType);
        if (!hasEncoding) result.insert(end, kEncoding);
        return result;
    }
    if (!hasDocType) return std::string(kDeclaration) + std::string(kDocType) + result;
    return std::string(kDeclaration) + result;
}

xml::Document LoadXmlNormalized(std::string_view text) {
    return LoadXmlText(NormalizeXmlHeader(text));
}

xml::Node FindOrCreateChild(const xml::Node& node, std::string_view name, bool create) {
    xml::Node found = node.SelectSingleNode(name);
    if (found || !create) return found;
    xml::Node parent = node;
    return parent.AppendChild(node.OwnerDocument().CreateElement(name));
}

std::string GetAttr(const xml::Node& element, std::string_view name) {
    if (!element) return {};
    xml::Node attr = element.Attributes().GetNamedItem(name);
    return attr ? attr.Text() : std::string();
}

void SetAttr(const xml::Node& element, std::string_view name, std::string_view value) {
    xml::Node target = element;
    target.SetAttribute(name, value);
}

std::string CallWebService(std::string_view address, std::string_view method, std::string_view request) {
    return CallWebServiceIn(kLibraryName, address, method, request);
}

std::string CallWebServiceIn(std::string_view libraryName, std::string_view address, std::string_view method,
                             std::string_view request) {
    const std::string answerFile =
        GetTempFolder() + "~Norvo_" + rtl::FormatDateTime("YYYYMMDDHHNNSSZZZ", os::Now()) + ".tmp";
    std::string answer;

    os::LibHandle lib = LoadKept(libraryName);
    // A developer starting the host with the argument "T" gets a pause to attach to the library.
    if (TracePauseAsked()) os::ShowMessage(kTraceMessage);
    if (lib == nullptr) return answer;
    auto fx = reinterpret_cast<CallWebServiceFx>(os::GetProcAddress(lib, kEntryPoint));
    if (fx == nullptr) return answer;

    const std::string addressArg(address), methodArg(method), requestArg(request);
    if (const char* error = fx(addressArg.c_str(), methodArg.c_str(), requestArg.c_str(), answerFile.c_str())) {
        std::string message = error;
        os::DeleteFile(answerFile);  // whatever a failed call may have left
        throw rtl::Exception(message);
    }

    rtl::TStringList lines;
    lines.SetText(os::ReadFileBytes(answerFile));
    for (int i = 0; i < lines.Count(); ++i) answer += lines[i] + "\r\n";
    os::DeleteFile(answerFile);
    return answer;
}
