// Real: a double whose every arithmetic operation is checked.
//
// The computations of the program are written with Real so that they read like the
// formulas they implement, in the grouping the formulas give, while any invalid
// operation, division by zero or overflow raises a fault (see Fault.h). Operands are
// always finite, so an infinite result is an overflow and a NaN result is invalid.
// Underflow and rounding are not faults.
#pragma once

#include <cmath>

#include "runtime/Fault.h"

namespace kestrel {

class Real {
public:
    constexpr Real() = default;
    constexpr Real(double v) : v_(v) {}  // NOLINT(google-explicit-constructor): reads as a number

    constexpr double value() const { return v_; }

    friend Real operator+(Real a, Real b) { return Checked(a.v_ + b.v_); }
    friend Real operator-(Real a, Real b) { return Checked(a.v_ - b.v_); }
    friend Real operator*(Real a, Real b) { return Checked(a.v_ * b.v_); }
    friend Real operator/(Real a, Real b) {
        if (b.v_ == 0.0) RaiseFault(a.v_ == 0.0 ? FaultKind::Invalid : FaultKind::DivideByZero);
        return Checked(a.v_ / b.v_);
    }
    Real operator-() const { return Real(-v_); }

    // A computed result, checked: NaN is invalid, infinity an overflow.
    static Real Checked(double r) {
        if (std::isnan(r)) RaiseFault(FaultKind::Invalid);
        if (std::isinf(r)) RaiseFault(FaultKind::Overflow);
        return Real(r);
    }

private:
    double v_ = 0.0;
};

// Power: a negative base with a fractional exponent is invalid, zero to a negative power a
// division by zero.
inline Real Pow(Real base, Real exponent) {
    if (base.value() == 0.0 && exponent.value() < 0.0) RaiseFault(FaultKind::DivideByZero);
    return Real::Checked(std::pow(base.value(), exponent.value()));
}

inline Real Sin(Real x) {
    return Real::Checked(std::sin(x.value()));
}

}  // namespace kestrel
