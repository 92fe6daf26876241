// Restoring-force models of the building's columns: the force Q (kN) the columns exert at a
// relative displacement x (cm), with its history. Besides the linear spring (Q = K x) there
// are three elastic-plastic models on one bilinear skeleton
//     Q = K x                               for |x| <= dy
//     Q = sign(x) (Qy + p K (|x| - dy))     beyond,
// K the initial stiffness (kN/cm), Qy the yield force (kN), p the second stiffness ratio
// (0 <= p < 1) and dy = Qy / K the yield displacement:
// - BilinearSpring: kinematic hardening. Unloading and reloading with slope K, the force
//   always between the moving yield lines p K x -/+ (1 - p) Qy, which it follows once there.
// - CloughSpring: degrading bilinear. A reversal unloads with slope K; once the force has
//   crossed zero, reloading heads straight for the largest point reached so far on the
//   skeleton in the new direction (the yield point while that side has not yielded), then
//   follows the skeleton. Reloading along an unloading line (a reversal before the force
//   reached zero) returns to the point where that unloading began and continues on the
//   branch it left.
// - OriginSpring: origin-oriented. Off the skeleton, loading and unloading both follow the
//   line through the origin and the largest point reached so far on the side of the
//   current displacement (the yield point while that side has not yielded); passing the
//   origin changes to the other side's line; beyond the largest point, the skeleton.
// docs/hysteresis.md draws each loop and gives the energies.
//
// Every branch is a straight line, so a step solver walks them: from the current state it
// asks for the branch ahead in the direction of the step's motion, solves its equation on
// that line, and either stops inside the branch or moves to its end (a kink) and asks again
// (WalkSpring below does exactly that, with the bound). The models are small value types
// with no allocation and no virtual calls; a run picks one by template or by AnySpring.
#pragma once

#include <algorithm>
#include <cmath>
#include <concepts>
#include <cstdint>
#include <limits>
#include <variant>

namespace kestrel {

struct SpringParameters {
    double stiffness = 0;             // K, kN/cm
    double yieldForce = 0;            // Qy, kN
    double secondStiffnessRatio = 0;  // p
};

// K and Qy finite and > 0, 0 <= p < 1, and dy = Qy / K a finite number > 0 (not lost to
// underflow). The models assume parameters that pass; the readers of the inputs refuse others.
bool ValidSpringParameters(const SpringParameters& p);

// The branch ahead of a spring in one direction of motion, from its current state:
//     Q(x) = q0 + k (x - x0)   for x from x0 up to xEnd (in that direction).
// xEnd is +/-infinity on a branch that never ends. The last five members are the spring's
// own, for MoveTo.
struct SpringSegment {
    double x0 = 0;    // cm, the spring's displacement now
    double q0 = 0;    // kN, its force now
    double k = 0;     // kN/cm, the slope of the branch (0 <= k <= K)
    double xEnd = 0;  // cm, where the branch ends

    double qEnd = 0;          // kN, the force at xEnd
    double plasticShare = 0;  // on a post-yield branch 1 - p (the plastic part of dx), else 0
    int direction = 1;        // +1 or -1
    std::uint8_t branch = 0;  // the model's code of this branch
    std::uint8_t next = 0;    // and of the branch that starts at xEnd

    // Whether x lies past xEnd in the direction of motion. NaN is never past.
    bool Passes(double x) const { return direction > 0 ? x > xEnd : x < xEnd; }
};

// The largest number of segments one move in one direction can cross from any state of any
// of the models, the last of them endless (three: unloading, reloading, skeleton).
inline constexpr int kMaxSpringSegments = 3;

// What every model keeps and reports. Not used on its own.
class SpringState {
public:
    double Stiffness() const { return k_; }
    double YieldForce() const { return qy_; }
    double SecondStiffnessRatio() const { return p_; }
    double YieldDisplacement() const { return dy_; }
    // The skeleton's force at x (kN).
    double Skeleton(double x) const {
        const double a = std::fabs(x);
        return a < dy_ ? k_ * x : std::copysign(qy_ + pk_ * (a - dy_), x);
    }

    double Displacement() const { return x_; }  // cm
    double Force() const { return q_; }         // kN
    // The spring's work: the integral of Q dx along the branches (kN cm), from the start of
    // the run, beginning with the strain energy held at the start (see StartAt).
    double Work() const { return work_; }
    // The sum of |dx - dQ/K| over the moves on post-yield branches (cm), and it over dy.
    double PlasticDeformation() const { return plastic_; }
    double CumulativePlasticRatio() const { return plastic_ / dy_; }
    // Whether the last move went along a post-yield branch (a move of zero length does not).
    bool Yielding() const { return yielding_; }
    // x - Q/K (cm): where the spring would come to rest unloaded with slope K.
    double PlasticOffset() const { return x_ - q_ / k_; }

protected:
    explicit SpringState(const SpringParameters& p)
        : k_(p.stiffness),
          qy_(p.yieldForce),
          p_(p.secondStiffnessRatio),
          dy_(p.yieldForce / p.stiffness),
          pk_(p.secondStiffnessRatio * p.stiffness),
          elasticShare_(1 - p.secondStiffnessRatio) {}

    SpringParameters Parameters() const { return {k_, qy_, p_}; }

    // The segment's fields that start at the current state.
    SpringSegment Start(int d) const {
        SpringSegment s;
        s.x0 = x_;
        s.q0 = q_;
        s.direction = d > 0 ? 1 : -1;
        return s;
    }
    // Makes s the endless post-yield branch of slope p K.
    void PostYield(SpringSegment& s, std::uint8_t code) const {
        const double d = s.direction;
        s.k = pk_;
        s.xEnd = d * std::numeric_limits<double>::infinity();
        s.qEnd = pk_ > 0 ? s.xEnd : s.q0;
        s.plasticShare = elasticShare_;
        s.branch = s.next = code;
    }

    // Moves along s to x, held within the segment (never behind x0, never past xEnd), adding
    // the move's work and plastic deformation. At xEnd the state takes the kink's force
    // exactly and the next branch; returns whether it did. NaN moves the state to NaN.
    bool Advance(const SpringSegment& s, double x) {
        x = s.direction > 0 ? std::min(std::max(x, s.x0), s.xEnd)
                            : std::max(std::min(x, s.x0), s.xEnd);
        const bool kink = x == s.xEnd;
        const double q = kink ? s.qEnd : s.q0 + s.k * (x - s.x0);
        const double dx = x - s.x0;
        work_ += 0.5 * (s.q0 + q) * dx;  // exact: Q is linear along the move
        // On a post-yield branch dQ = p K dx, so |dx - dQ/K| = (1 - p) |dx|.
        plastic_ += s.plasticShare * std::fabs(dx);
        yielding_ = s.plasticShare > 0 && dx != 0;
        x_ = x;
        q_ = q;
        branch_ = kink ? s.next : s.branch;
        return kink;
    }

    // After the loading of StartAt: the run's counters start here.
    void StartCounting(double strainEnergy) {
        work_ = strainEnergy;
        plastic_ = 0;
        yielding_ = false;
    }

    double k_, qy_, p_, dy_, pk_, elasticShare_;
    double x_ = 0, q_ = 0;
    double work_ = 0, plastic_ = 0;
    std::uint8_t branch_ = 0;
    bool yielding_ = false;
};

// Q = K x for ever (SpringModel::Linear). Not the steppers' LinearSpring (Steppers.h):
// two classes of one name would share their inline members and break each other.
class ElasticSpring : public SpringState {
public:
    explicit ElasticSpring(double stiffness)
        : SpringState({stiffness, std::numeric_limits<double>::infinity(), 0}) {}

    SpringSegment Segment(int d) const {
        SpringSegment s = Start(d);
        s.k = k_;
        s.xEnd = s.qEnd = s.direction * std::numeric_limits<double>::infinity();
        return s;
    }
    void MoveTo(const SpringSegment& s, double x) {
        Advance(s, x);
        q_ = k_ * x_;  // the same line, without the rounding of q0 + k dx carried along
    }
    double StrainEnergy() const { return q_ * q_ / (2 * k_); }
    double HystereticEnergy() const { return work_ - StrainEnergy(); }
    // Displaced to x0 from rest, with the counters of the run starting there.
    void StartAt(double x0);
};

class BilinearSpring : public SpringState {
public:
    explicit BilinearSpring(const SpringParameters& p) : SpringState(p) {}

    SpringSegment Segment(int d) const {
        SpringSegment s = Start(d);
        const std::uint8_t line = s.direction > 0 ? kUpperLine : kLowerLine;
        if (branch_ == line) {
            PostYield(s, line);
            return s;
        }
        // Elastic up to the yield line ahead, p K x + d (1 - p) Qy: the force still to go
        // there, closed at (1 - p) K per cm.
        const double sd = s.direction;
        const double band = elasticShare_ * qy_;
        const double gap = std::max(0.0, sd * (pk_ * x_ + sd * band - q_));
        s.k = k_;
        s.xEnd = x_ + sd * (gap / (elasticShare_ * k_));
        s.qEnd = pk_ * s.xEnd + sd * band;
        s.branch = kElastic;
        s.next = line;
        return s;
    }
    void MoveTo(const SpringSegment& s, double x) { Advance(s, x); }
    double StrainEnergy() const { return q_ * q_ / (2 * k_); }
    double HystereticEnergy() const { return work_ - StrainEnergy(); }
    // Loaded along the skeleton from rest to x0, with the counters of the run starting
    // there: Work() is the strain energy then held, the plastic deformation 0.
    void StartAt(double x0);

private:
    enum : std::uint8_t { kElastic, kUpperLine, kLowerLine };
};

class CloughSpring : public SpringState {
public:
    explicit CloughSpring(const SpringParameters& p)
        : SpringState(p), xp_(dy_), qp_(qy_), xn_(-dy_), qn_(-qy_) {}

    SpringSegment Segment(int d) const {
        SpringSegment s = Start(d);
        const double sd = s.direction;
        switch (branch_) {
            case kSkeleton:
                if (sd * x_ >= dy_) {
                    PostYield(s, kSkeleton);
                } else if (std::fabs(x_) < dy_ || (xp_ == dy_ && xn_ == -dy_)) {
                    // Not yielded on either side: elastic to the yield point ahead.
                    s.k = k_;
                    s.xEnd = sd * dy_;
                    s.qEnd = sd * qy_;
                    s.branch = s.next = kSkeleton;
                } else {
                    Unload(s);
                }
                return s;
            case kUnloading:
                s.k = k_;
                s.branch = kUnloading;
                if (sd * qr_ > 0) {  // back to where this unloading began
                    s.xEnd = xr_;
                    s.qEnd = qr_;
                    s.next = fromSkeleton_ ? kSkeleton : kReloading;
                } else {
                    s.xEnd = xz_;
                    s.qEnd = 0;
                    s.next = kReloading;
                }
                return s;
            default:  // kReloading
                if (sd != rSide_) {
                    Unload(s);
                    return s;
                }
                // Straight for the largest point on this side; the slope from here, which is
                // the line's, keeps the end on that point.
                const double xt = sd > 0 ? xp_ : xn_;
                const double qt = sd > 0 ? qp_ : qn_;
                const double run = xt - x_;
                s.k = sd * run > 0 ? std::clamp((qt - q_) / run, 0.0, k_) : k_;
                s.xEnd = xt;
                s.qEnd = qt;
                s.branch = kReloading;
                s.next = kSkeleton;
                return s;
        }
    }
    void MoveTo(const SpringSegment& s, double x) {
        if (s.branch == kUnloading && branch_ != kUnloading) {  // a reversal: a new line
            xr_ = s.x0;
            qr_ = s.q0;
            xz_ = s.xEnd;
            fromSkeleton_ = branch_ == kSkeleton;
        }
        if (Advance(s, x) && s.next == kReloading) rSide_ = static_cast<std::int8_t>(s.direction);
        // Set by branches, not through a chosen reference: the step loop keeps them in registers.
        if (s.plasticShare > 0) {
            if (s.direction > 0) {
                xp_ = x_;
                qp_ = q_;
            } else {
                xn_ = x_;
                qn_ = q_;
            }
        }
    }
    double StrainEnergy() const { return q_ * q_ / (2 * k_); }
    double HystereticEnergy() const { return work_ - StrainEnergy(); }
    // As BilinearSpring::StartAt.
    void StartAt(double x0);

private:
    enum : std::uint8_t { kSkeleton, kUnloading, kReloading };

    // Slope K from the current point to zero force, then reloading the other way.
    void Unload(SpringSegment& s) const {
        s.k = k_;
        s.xEnd = x_ - q_ / k_;
        s.qEnd = 0;
        s.branch = kUnloading;
        s.next = kReloading;
    }

    double xp_, qp_, xn_, qn_;         // the largest points reached on the skeleton
    double xr_ = 0, qr_ = 0, xz_ = 0;  // the unloading line: its start and its zero force
    bool fromSkeleton_ = true;         // whether that start is on the skeleton
    std::int8_t rSide_ = 1;            // the side the reloading line heads for
};

class OriginSpring : public SpringState {
public:
    explicit OriginSpring(const SpringParameters& p)
        : SpringState(p), xp_(dy_), qp_(qy_), kp_(k_), xn_(-dy_), qn_(-qy_), kn_(k_) {}

    SpringSegment Segment(int d) const {
        SpringSegment s = Start(d);
        const bool plusSide = x_ > 0 || (x_ == 0 && s.direction > 0);
        const double xm = plusSide ? xp_ : xn_;
        s.k = plusSide ? kp_ : kn_;
        if (plusSide != (s.direction > 0)) {  // towards the origin
            s.xEnd = 0;
            s.qEnd = 0;
        } else if (x_ != xm) {  // out to the largest point
            s.xEnd = xm;
            s.qEnd = plusSide ? qp_ : qn_;
        } else {
            PostYield(s, kSkeleton);
        }
        return s;
    }
    void MoveTo(const SpringSegment& s, double x) {
        Advance(s, x);
        if (s.plasticShare > 0) {
            if (s.direction > 0) {
                xp_ = x_;
                qp_ = q_;
                kp_ = q_ / x_;
            } else {
                xn_ = x_;
                qn_ = q_;
                kn_ = q_ / x_;
            }
        }
    }
    // Returned unloading along the line through the origin.
    double StrainEnergy() const { return 0.5 * q_ * x_; }
    double HystereticEnergy() const { return work_ - StrainEnergy(); }
    // As BilinearSpring::StartAt.
    void StartAt(double x0);

private:
    enum : std::uint8_t { kSecant, kSkeleton };

    double xp_, qp_, kp_, xn_, qn_, kn_;  // the largest points and the slopes of their lines
};

template <class S>
concept RestoringForce = std::copyable<S> &&
    requires(S s, const S c, const SpringSegment seg, double x, int d) {
    { c.Segment(d) } -> std::same_as<SpringSegment>;
    s.MoveTo(seg, x);
    { c.Displacement() } -> std::same_as<double>;
    { c.Force() } -> std::same_as<double>;
    { c.StrainEnergy() } -> std::same_as<double>;
    { c.HystereticEnergy() } -> std::same_as<double>;
    s.StartAt(x);
};

// Moves the spring in direction d (+1/-1) through its branches until solve(segment), the
// displacement a step solver finds on that segment's line, lies within the segment; returns
// that displacement. Crosses at most kMaxSpringSegments segments: a solution past the last
// one's end (only an infinite or a non-finite one can be) stops there.
template <RestoringForce Spring, class Solve>
double WalkSpring(Spring& spring, int d, Solve&& solve) {
    for (int n = 1;; ++n) {
        const SpringSegment s = spring.Segment(d);
        const double x = solve(s);
        if (!s.Passes(x) || n == kMaxSpringSegments) {
            spring.MoveTo(s, x);
            return x;
        }
        spring.MoveTo(s, s.xEnd);
    }
}

// Moves the spring to the displacement x by the shortest way (a prescribed displacement).
template <RestoringForce Spring>
void DriveSpringTo(Spring& spring, double x) {
    if (x == spring.Displacement()) return;
    WalkSpring(spring, x > spring.Displacement() ? 1 : -1, [x](const SpringSegment&) { return x; });
}

enum class SpringModel { Linear, Bilinear, Clough, Origin };

using AnySpring = std::variant<ElasticSpring, BilinearSpring, CloughSpring, OriginSpring>;

// A spring of the model at rest (Linear uses the stiffness only).
AnySpring MakeSpring(SpringModel model, const SpringParameters& p);

}  // namespace kestrel
