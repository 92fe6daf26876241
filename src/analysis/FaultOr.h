// A value, or the fault (runtime/Fault.h) that kept it from being computed.
#pragma once

#include <optional>
#include <utility>

#include "runtime/Fault.h"

namespace kestrel {

template <typename T>
class FaultOr {
public:
    FaultOr(T value) : value_(std::move(value)) {}  // NOLINT: reads as a value
    FaultOr(Fault fault) : fault_(fault) {}         // NOLINT: reads as a fault

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }

    const T& value() const& { return *value_; }
    T&& value() && { return std::move(*value_); }
    const T& operator*() const& { return *value_; }
    const T* operator->() const { return &*value_; }

    // The fault; meaningful only when !ok().
    const Fault& fault() const { return fault_; }

private:
    std::optional<T> value_;
    Fault fault_;
};

}  // namespace kestrel
