// The arithmetic of the step loop: every formula is computed in plain double for speed, and
// only when its result is not finite is it computed again with Real (runtime/Real.h), whose
// every operation is checked and raises the fault of the exact operation that failed.
//
// A formula is a generic lambda taking a dummy of its number type:
//     checked::Value([&]<typename Num>(Num) { return Num(x) * k + g; }, FaultSite::Integration)
// Written once, it is the same sequence of operations for both types, so the fast result
// and the checked one are the same bits whenever the fast one is finite.
#pragma once

#include <cmath>

#include "runtime/Fault.h"
#include "runtime/Real.h"

namespace kestrel::checked {

// sin and pow for both number types, so that one formula serves both.
inline double Sin(double x) {
    return std::sin(x);
}
inline Real Sin(Real x) {
    return kestrel::Sin(x);
}
inline double Pow(double base, double exponent) {
    return std::pow(base, exponent);
}
inline Real Pow(Real base, Real exponent) {
    return kestrel::Pow(base, exponent);
}

// The checked twin, out of the step loop's way.
template <typename Formula>
[[gnu::noinline, gnu::cold]] double Recompute(Formula formula, FaultSite site) {
    const FaultScope scope(site);
    return formula(Real{}).value();
}

// The formula's value, or the fault its checked twin raises under `site`. Always inlined:
// in the step loop it is a few multiplications and one test.
template <typename Formula>
[[gnu::always_inline]] inline double Value(Formula formula, FaultSite site) {
    const double fast = formula(double{});
    if (std::isfinite(fast)) [[likely]] {
        return fast;
    }
    return Recompute(formula, site);
}

// Value for a formula all of whose operands are finite (the step loop's: a finite state,
// finite constants, a finite ground acceleration). A result that is not finite then comes
// from an operation Real checks, so the checked twin raises and never returns; the compiler,
// knowing the call does not come back, keeps the loop's numbers in registers instead of
// saving them to memory for it on every step. Should the twin return after all (an operand
// that was not finite, handed on unchanged), the result is refused as invalid rather than
// passed on.
template <typename Formula>
[[noreturn, gnu::noinline, gnu::cold]] void RaiseOf(Formula formula, FaultSite site) {
    const FaultScope scope(site);
    formula(Real{});
    RaiseFault(FaultKind::Invalid);
}

template <typename Formula>
[[gnu::always_inline]] inline double FiniteValue(Formula formula, FaultSite site) {
    const double fast = formula(double{});
    if (!std::isfinite(fast)) [[unlikely]] {
        RaiseOf(formula, site);
    }
    return fast;
}

}  // namespace kestrel::checked
