// Late-bound objects: methods and properties called by name with variant arguments.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "../rtl/Variants.h"

namespace com {

enum class InvokeKind { Method, PropertyGet, PropertyPut };

// A late-bound object. Arguments are passed in call order; a callee may change an argument
// that the caller passed by reference, and the caller reads it back from the vector.
class IDispatch {
public:
    virtual ~IDispatch() = default;
    virtual rtl::Variant Invoke(std::string_view name, InvokeKind kind, std::vector<rtl::Variant>& args) = 0;
};

// A failure raised by a late-bound call (unknown name, wrong arguments, callee error).
class EOleError : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    const char* ClassName() const noexcept override { return "EOleError"; }
};

}  // namespace com
