#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/com/ComObj.h"
#include "platform/os/DynLibs.h"
#include "platform/os/Environment.h"
#include "support/Fixtures.h"

using com::EOleError;
using com::EOleException;
using com::EOleSysError;
using com::InvokeKind;
using rtl::Variant;

namespace {

// A served object exercising each way a member can be reached.
class Sample : public com::DispatchObject {
public:
    Sample() {
        Method("Concat", [](std::vector<Variant>& args) {
            std::string r;
            for (const Variant& a : args) r += rtl::VarToStr(a);
            return Variant(r);
        });
        // Counter by reference: answers the old value and writes back the next one.
        Method("Bump", [](std::vector<Variant>& args) {
            com::RequireArgs(args, 1);
            const Variant old = args[0];
            args[0] = old.AsInt64() + 1;
            return old;
        });
        Method("ConvertFails", [](std::vector<Variant>&) -> Variant { throw rtl::EConvertError("'x' is not a valid integer value"); });
        Method("StdFails", [](std::vector<Variant>&) -> Variant { throw std::runtime_error("disk full"); });
        Method("StdFailsSilently", [](std::vector<Variant>&) -> Variant { throw std::runtime_error(""); });
        Method("ThrowsInt", [](std::vector<Variant>&) -> Variant { throw 42; });
        Property("Title", [this] { return Variant(title_); }, [this](const Variant& v) { title_ = rtl::VarToStr(v); });
        Property("Count", [] { return Variant(7); });
    }

private:
    std::string title_ = "first";
};

Variant NewSample() { return com::DispatchVariant(std::make_shared<Sample>()); }

// The exception of class E that `call` raises; a test failure when it raises none.
template <class E>
std::optional<E> Caught(const std::function<void()>& call) {
    try {
        call();
    } catch (const E& e) {
        return e;
    }
    ADD_FAILURE() << "no exception";
    return std::nullopt;
}

TEST(DispatchObject, DispatchesByNameInAnyCase) {
    const Variant obj = NewSample();
    for (const char* name : {"Concat", "concat", "CONCAT", "cOnCaT"}) {
        EXPECT_EQ(com::OleCall(obj, name, {"a", 1, "b"}).AsString(), "a1b") << name;
    }
    for (const char* name : {"Title", "title", "TITLE"}) EXPECT_EQ(com::OleGet(obj, name).AsString(), "first") << name;
}

TEST(DispatchObject, ArgumentsArriveInCallOrderAndByReferenceWritesComeBack) {
    const Variant obj = NewSample();
    std::vector<Variant> args{41};
    EXPECT_EQ(com::OleCall(obj, "Bump", args).AsInteger(), 41);
    ASSERT_EQ(args.size(), 1u);
    EXPECT_EQ(args[0].AsInteger(), 42);
    EXPECT_EQ(com::OleCall(obj, "Bump", args).AsInteger(), 42);
    EXPECT_EQ(args[0].AsInteger(), 43);

    // By value: the caller's own variant is untouched.
    const Variant n = 5;
    EXPECT_EQ(com::OleCall(obj, "Bump", {n}).AsInteger(), 5);
    EXPECT_EQ(n.AsInteger(), 5);
}

TEST(DispatchObject, PropertiesReadAndWrite) {
    const Variant obj = NewSample();
    com::OleSet(obj, "title", "second");
    EXPECT_EQ(com::OleGet(obj, "Title").AsString(), "second");
    // A call without arguments reads a property, and a get reaches a method, as automation allows.
    EXPECT_EQ(com::OleCall(obj, "Title").AsString(), "second");
    EXPECT_EQ(com::OleGet(obj, "Concat").AsString(), "");
    EXPECT_EQ(com::OleGet(obj, "Count").AsInteger(), 7);
}

TEST(DispatchObject, UnknownNamesRaiseTheAutomationText) {
    const Variant obj = NewSample();
    const std::function<void()> calls[] = {
        [&] { com::OleCall(obj, "Nope", {1}); },
        [&] { com::OleGet(obj, "Nope"); },
        [&] { com::OleSet(obj, "Nope", 1); },
    };
    for (const auto& call : calls) {
        const auto e = Caught<EOleError>(call);
        if (!e) continue;
        EXPECT_STREQ(e->ClassName(), "EOleError");
        EXPECT_EQ(e->Message(), "Method 'Nope' not supported by automation object");
    }
}

TEST(DispatchObject, WrongKindOrArgumentCountIsRefused) {
    const Variant obj = NewSample();
    struct Case {
        std::function<void()> call;
        const char* message;
        com::HRESULT code;
    };
    const Case cases[] = {
        {[&] { com::OleSet(obj, "Count", 8); }, "Member not found.", com::DISP_E_MEMBERNOTFOUND},
        {[&] { com::OleSet(obj, "Concat", "x"); }, "Member not found.", com::DISP_E_MEMBERNOTFOUND},
        {[&] { com::OleCall(obj, "Title", {1}); }, "Invalid number of parameters.", com::DISP_E_BADPARAMCOUNT},
        {[&] { com::OleCall(obj, "Bump"); }, "Invalid number of parameters.", com::DISP_E_BADPARAMCOUNT},
        {[&] {
             std::vector<Variant> two{1, 2};
             obj.AsDispatch()->Invoke("Title", InvokeKind::PropertyPut, two);
         },
         "Invalid number of parameters.", com::DISP_E_BADPARAMCOUNT},
    };
    for (const Case& c : cases) {
        const auto e = Caught<EOleSysError>(c.call);
        if (!e) continue;
        EXPECT_EQ(e->Message(), c.message);
        EXPECT_EQ(e->ErrorCode(), c.code);
    }
    EXPECT_EQ(com::OleGet(obj, "Count").AsInteger(), 7);
    EXPECT_EQ(com::OleGet(obj, "Title").AsString(), "first");
}

TEST(DispatchObject, HandlerExceptionsReachTheCaller) {
    const Variant obj = NewSample();
    // The runtime's own exceptions keep their class and text.
    try {
        com::OleCall(obj, "ConvertFails");
        ADD_FAILURE() << "no exception";
    } catch (const rtl::EConvertError& e) {
        EXPECT_EQ(e.Message(), "'x' is not a valid integer value");
    }
    // Anything else arrives as the callee's failure, with its text where it has one.
    const struct {
        const char* method;
        const char* message;
    } cases[] = {{"StdFails", "disk full"}, {"StdFailsSilently", "Exception occurred."}, {"ThrowsInt", "Exception occurred."}};
    for (const auto& c : cases) {
        const auto e = Caught<EOleException>([&] { com::OleCall(obj, c.method); });
        if (!e) continue;
        EXPECT_EQ(e->Message(), c.message) << c.method;
        EXPECT_EQ(e->ErrorCode(), com::DISP_E_EXCEPTION) << c.method;
    }
}

TEST(DispatchObject, HelpersRefuseAVariantWithoutObject) {
    const Variant noObjects[] = {Variant(), Variant::Null(), Variant("Manager"), Variant(3),
                                 Variant(std::shared_ptr<com::IDispatch>()), rtl::VarArrayOf({NewSample()})};
    for (const Variant& v : noObjects) {
        std::vector<Variant> args;
        const std::function<void()> calls[] = {[&] { com::OleCall(v, "Concat", args); },
                                               [&] { com::OleCall(v, "Concat", {1}); },
                                               [&] { com::OleGet(v, "Title"); },
                                               [&] { com::OleSet(v, "Title", 1); }};
        for (const auto& call : calls) {
            try {
                call();
                ADD_FAILURE() << "no exception for " << rtl::VarTypeName(v.Type());
            } catch (const EOleError& e) {
                EXPECT_EQ(e.Message(), "Variant does not reference an automation object");
            }
        }
    }
}

// ---- CreateOleObject through the registry and the test server library ----------------------

std::string TestBinFolder() {
    std::string dir = os::GetEnv("KPA_TEST_BIN_DIR");
    if (dir.empty()) return os::GetExecutableFolder();
    if (dir.back() != '/') dir += '/';
    return dir;
}

class CreateOleObjectTest : public ::testing::Test {
protected:
    void Register(const std::vector<std::pair<std::string, std::string>>& servers, const std::string& extra = "") {
        std::string text = "Windows Registry Editor Version 5.00\r\n\r\n";
        for (const auto& [progId, library] : servers) {
            text += "[HKEY_CLASSES_ROOT\\" + progId + "\\InprocServer32]\r\n@=\"" + library + "\"\r\n\r\n";
        }
        registry_.SetRawText(text + extra);
    }
    const std::string server_ = TestBinFolder() + "KpaTestServer.dll";
    kpatest::ScopedRegistry registry_;
    kpatest::TempDir dir_;
};

TEST_F(CreateOleObjectTest, CreatesAnObjectOfARegisteredServer) {
    Register({{"KpaTest.Calculator", server_}});
    for (const char* progId : {"KpaTest.Calculator", "kpatest.calculator"}) {
        const Variant calc = com::CreateOleObject(progId);
        ASSERT_EQ(calc.Type(), rtl::VarType::Dispatch) << progId;
        EXPECT_EQ(com::OleCall(calc, "add", {2, 40}).AsInteger(), 42);
        std::vector<Variant> args{"left", 9};
        com::OleCall(calc, "Swap", args);
        EXPECT_EQ(args[0].AsInteger(), 9);
        EXPECT_EQ(args[1].AsString(), "left");
        EXPECT_EQ(com::OleGet(calc, "Version").AsInteger(), 3);
    }
    // Each creation is a new object.
    const Variant a = com::CreateOleObject("KpaTest.Calculator");
    const Variant b = com::CreateOleObject("KpaTest.Calculator");
    com::OleSet(a, "Name", "changed");
    EXPECT_EQ(com::OleGet(a, "Name").AsString(), "changed");
    EXPECT_EQ(com::OleGet(b, "Name").AsString(), "calculator");
}

TEST_F(CreateOleObjectTest, FailuresInsideTheServerReachTheCaller) {
    Register({{"KpaTest.Calculator", server_}});
    const Variant calc = com::CreateOleObject("KpaTest.Calculator");
    // The library's own copies of the exception classes are caught as ours.
    const auto own = Caught<EOleSysError>([&] { com::OleCall(calc, "Fail", {"server says no"}); });
    ASSERT_TRUE(own);
    EXPECT_EQ(own->Message(), "server says no");
    EXPECT_EQ(own->ErrorCode(), 0x1234);
    const auto wrapped = Caught<EOleException>([&] { com::OleCall(calc, "Crash"); });
    ASSERT_TRUE(wrapped);
    EXPECT_EQ(wrapped->Message(), "server crashed");
    const auto unknown = Caught<EOleError>([&] { com::OleCall(calc, "Divide", {1, 0}); });
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->Message(), "Method 'Divide' not supported by automation object");
}

TEST_F(CreateOleObjectTest, ABareLibraryNameIsFoundBesideTheProgram) {
    if (TestBinFolder() != os::GetExecutableFolder()) GTEST_SKIP() << "the test server is not beside this program";
    Register({{"KpaTest.Calculator", "KpaTestServer.dll"}});
    EXPECT_EQ(com::OleCall(com::CreateOleObject("KpaTest.Calculator"), "Add", {1, 2}).AsInteger(), 3);
}

TEST_F(CreateOleObjectTest, RegistrationFailuresRaiseTheSystemsTexts) {
    dir_.Write("Garbage.so", "this is no library");
    Register({{"KpaTest.Calculator", server_},
              {"KpaTest.Missing", dir_.File("Missing.dll")},
              {"KpaTest.Garbage", dir_.File("Garbage.dll")},
              {"KpaTest.NoExport", "libm.so.6"},
              {"KpaTest.Refuser", server_},
              {"KpaTest.Thrower", server_},
              {"KpaTest.Stranger", server_},
              {"KpaTest.Blank", "  "}},
             "[HKEY_CLASSES_ROOT\\KpaTest.Bare]\r\n\"Other\"=\"x\"\r\n\r\n"
             "[HKEY_CLASSES_ROOT\\KpaTest.NumberServer\\InprocServer32]\r\n@=dword:00000001\r\n\r\n");
    const struct {
        const char* progId;
        const char* message;
        com::HRESULT code;
    } cases[] = {
        {"KpaTest.Nobody", "Invalid class string", com::CO_E_CLASSSTRING},
        {"", "Invalid class string", com::CO_E_CLASSSTRING},
        {"KpaTest.Calculator\\InprocServer32", "Invalid class string", com::CO_E_CLASSSTRING},
        {"KpaTest.Bare", "Class not registered", com::REGDB_E_CLASSNOTREG},
        {"KpaTest.Blank", "Class not registered", com::REGDB_E_CLASSNOTREG},
        {"KpaTest.NumberServer", "Class not registered", com::REGDB_E_CLASSNOTREG},
        {"KpaTest.Missing", "Server library could not be loaded", com::HRESULT_MOD_NOT_FOUND},
        {"KpaTest.Garbage", "Server library could not be loaded", com::HRESULT_MOD_NOT_FOUND},
        {"KpaTest.NoExport", "Error in the DLL", com::CO_E_ERRORINDLL},
        {"KpaTest.Refuser", "ClassFactory cannot supply requested class", com::CLASS_E_CLASSNOTAVAILABLE},
        {"KpaTest.Thrower", "ClassFactory cannot supply requested class", com::CLASS_E_CLASSNOTAVAILABLE},
        {"KpaTest.Stranger", "ClassFactory cannot supply requested class", com::CLASS_E_CLASSNOTAVAILABLE},
    };
    for (const auto& c : cases) {
        const auto e = Caught<EOleSysError>([&] { com::CreateOleObject(c.progId); });
        if (!e) continue;
        EXPECT_EQ(e->Message(), c.message) << c.progId;
        EXPECT_EQ(e->ErrorCode(), c.code) << c.progId;
    }
    // The loader's own reason stays available to whoever logs the failure.
    EXPECT_THROW(com::CreateOleObject("KpaTest.Garbage"), EOleSysError);
    EXPECT_NE(os::LastLibraryError(), "");
}

}  // namespace
