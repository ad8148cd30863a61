// For in-process server libraries: the export that CreateOleObject calls, served from a table.
//
//   const com::ServerClass kClasses[] = {
//       {"Suite.Manager", [] { return std::shared_ptr<com::IDispatch>(std::make_shared<Manager>()); }},
//   };
//   extern "C" KPA_COM_EXPORT bool KpaCreateObject(const char* progId, std::shared_ptr<com::IDispatch>* result) {
//       return com::ServeObject(kClasses, progId, result);
//   }
#pragma once

#include <memory>
#include <span>
#include <string_view>

#include "ComObj.h"

// The export must stay visible in a library built with hidden visibility.
#define KPA_COM_EXPORT __attribute__((visibility("default")))

namespace com {

struct ServerClass {
    const char* progId;
    std::shared_ptr<IDispatch> (*create)();
};

// Makes the object of `progId` (compared without regard to case, as ProgIDs are) from the
// table. False for an unknown ProgID, a factory that answers nothing or one that fails: no
// exception leaves the library through the C entry.
inline bool ServeObject(std::span<const ServerClass> classes, const char* progId,
                        std::shared_ptr<IDispatch>* result) noexcept {
    if (!progId || !result) return false;
    auto same = [](std::string_view a, std::string_view b) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i) {
            auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
            if (up(a[i]) != up(b[i])) return false;
        }
        return true;
    };
    for (const ServerClass& c : classes) {
        if (!c.progId || !c.create || !same(c.progId, progId)) continue;
        try {
            std::shared_ptr<IDispatch> obj = c.create();
            if (!obj) return false;
            *result = std::move(obj);
            return true;
        } catch (...) {
            return false;
        }
    }
    return false;
}

}  // namespace com
