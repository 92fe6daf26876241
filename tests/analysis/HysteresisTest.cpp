// The restoring-force models against loops worked out by hand, against their rules along long
// displacement histories, and walked by a step solver. Loops are written with K = Qy = dy = 1
// and run at several scales of dy and Qy.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <variant>
#include <vector>

#include "analysis/Hysteresis.h"

namespace kestrel {
namespace {

struct Point {
    double x, q;
};

AnySpring Make(SpringModel m, double p, double dy = 1, double qy = 1) {
    return MakeSpring(m, {qy / dy, qy, p});
}

double Skeleton(double x, double p) {  // K = Qy = 1
    return std::fabs(x) <= 1 ? x : std::copysign(1 + p * (std::fabs(x) - 1), x);
}

struct HandLoop {
    const char* what;
    SpringModel model;
    double p;
    std::vector<Point> path;  // the start, then every kink and reversal in order
    int cycleFrom, cycleTo;   // a closed cycle between these points of the path
    double cycleArea;         // the work done around it
    double eta;               // cumulative plastic deformation ratio at the end
};

TEST(Hysteresis, FollowsLoopsWorkedOutByHand) {
    using enum SpringModel;
    // clang-format off
    const HandLoop loops[] = {
        {"linear", Linear, 0, {{0, 0}, {2, 2}, {-1, -1}, {0, 0}}, 0, 3, 0, 0},
        {"bilinear 3dy cycles", Bilinear, 0.25,
         {{0, 0}, {1, 1}, {3, 1.5}, {1, -0.5}, {-3, -1.5}, {-1, 0.5}, {3, 1.5}, {1, -0.5},
          {0, -0.75}}, 2, 6, 6, 8.25},
        {"bilinear perfectly plastic", Bilinear, 0,
         {{0, 0}, {1, 1}, {3, 1}, {1, -1}, {-3, -1}, {-1, 1}, {3, 1}, {1, -1}, {0, -1}},
         2, 6, 8, 11},
        {"bilinear reversal inside the band", Bilinear, 0.25,
         {{0, 0}, {1, 1}, {2, 1.25}, {0.5, -0.25}, {2, 1.25}, {2.5, 1.375}}, 2, 4, 0, 1.125},
        {"bilinear from -2dy", Bilinear, 0.25,
         {{-2, -1.25}, {0, 0.75}, {2, 1.25}, {0, -0.75}, {-2, -1.25}}, 0, 4, 3, 3},
        {"clough 3dy cycles", Clough, 0.25,
         {{0, 0}, {1, 1}, {3, 1.5}, {1.5, 0}, {-1, -1}, {-3, -1.5}, {-1.5, 0}, {3, 1.5},
          {1.5, 0}, {0, -0.5}}, 2, 7, 4.875, 3},
        {"clough reversals before zero force on both kinds of branch", Clough, 0.25,
         {{0, 0}, {1, 1}, {3, 1.5}, {1.5, 0}, {-1, -1}, {-3, -1.5}, {-1.5, 0}, {0, 0.5},
          {-0.25, 0.25}, {0, 0.5}, {3, 1.5}, {4, 1.75}, {2.5, 0.25}, {4, 1.75}, {4.5, 1.875},
          {2.625, 0}, {0, -0.7}}, 7, 9, 0, 4.125},
        {"clough reversals exactly at kinks", Clough, 0.25,
         {{0, 0}, {1, 1}, {3, 1.5}, {1.5, 0}, {3, 1.5}, {1.5, 0}, {-1, -1}, {0, 0}, {3, 1.5}},
         2, 4, 0, 1.5},
        {"clough from 3dy", Clough, 0.25,
         {{3, 1.5}, {1.5, 0}, {-1, -1}, {-3, -1.5}, {-1.5, 0}, {3, 1.5}}, 0, 5, 4.875, 1.5},
        {"origin 3dy cycles", Origin, 0.25,
         {{0, 0}, {1, 1}, {3, 1.5}, {0, 0}, {-1, -1}, {-3, -1.5}, {0, 0}, {3, 1.5}, {0, 0}},
         2, 7, 0.75, 3},
        {"origin reversals off the skeleton", Origin, 0.25,
         {{0, 0}, {1, 1}, {3, 1.5}, {1, 0.5}, {3, 1.5}, {4, 1.75}, {0, 0}, {-0.5, -0.5},
          {0, 0}, {4, 1.75}, {4.5, 1.875}}, 5, 9, 0, 2.625},
        {"origin from dy/2", Origin, 0.25,
         {{0.5, 0.5}, {0, 0}, {-1, -1}, {-2, -1.25}, {0, 0}, {1, 1}}, 1, 4, 0.375, 0.75},
    };
    // clang-format on
    const Point scales[] = {{1, 1}, {2.5, 400}, {1e-150, 1e-3}, {1e150, 1e3}};  // dy, Qy
    for (const HandLoop& loop : loops) {
        for (const auto [dy, qy] : scales) {
            SCOPED_TRACE(testing::Message() << loop.what << " at dy " << dy << ", Qy " << qy);
            std::visit(
                [&](auto spring) {
                    const double tq = 1e-12 * qy, tw = 1e-11 * qy * dy;
                    spring.StartAt(loop.path[0].x * dy);
                    EXPECT_NEAR(spring.Force(), loop.path[0].q * qy, tq);
                    EXPECT_NEAR(spring.HystereticEnergy(), 0, tw);
                    EXPECT_EQ(spring.CumulativePlasticRatio(), 0);
                    std::vector<double> work{spring.Work()};
                    double trapezoids = spring.Work();
                    for (std::size_t i = 1; i < loop.path.size(); ++i) {
                        const Point a = loop.path[i - 1], b = loop.path[i];
                        for (int j = 1; j <= 4; ++j) {  // straight between kinks, exact at them
                            const double x = j == 4 ? b.x : a.x + (b.x - a.x) * j / 4;
                            DriveSpringTo(spring, x * dy);
                            EXPECT_NEAR(spring.Force(), (a.q + (b.q - a.q) * j / 4) * qy, tq)
                                << "towards point " << i;
                        }
                        work.push_back(spring.Work());
                        trapezoids += (a.q + b.q) / 2 * (b.x - a.x) * qy * dy;
                    }
                    EXPECT_NEAR(spring.Work(), trapezoids, tw);
                    EXPECT_NEAR(work[loop.cycleTo] - work[loop.cycleFrom], loop.cycleArea * qy * dy,
                                tw);
                    EXPECT_NEAR(spring.CumulativePlasticRatio(), loop.eta, 1e-12);
                },
                Make(loop.model, loop.p, dy, qy));
        }
    }
}

// Along a long history of reversals (targets up to 5 dy, some reversing after a fraction of
// dy), at every sample: |Q| stays within the skeleton's force at |x| (at least Qy); a reversal
// unloads with slope K (origin: along the line through the origin and its side's largest point);
// E_H never falls; and from the state in either direction the branches ahead end on their own
// lines, turn neither back nor steeper than K, and reach the endless one within kMaxSpringSegments,
// starting at the yield line (bilinear) or at the largest point reached on that side (Clough,
// origin).
TEST(Hysteresis, RulesHoldAlongLongHistories) {
    for (SpringModel model : {SpringModel::Bilinear, SpringModel::Clough, SpringModel::Origin}) {
        for (double p : {0.0, 0.1}) {  // a yield line keeps the sign of its force out to 9 dy
            SCOPED_TRACE(testing::Message() << "model " << int(model) << ", p " << p);
            AnySpring any = Make(model, p);
            std::visit(
                [&](auto& spring) {
                    unsigned seed = 12345;
                    double reached[2] = {-1, 1}, lastEh = 0, target = 0;
                    int lastD = 0;
                    for (int reversal = 0; reversal < 300; ++reversal) {
                        seed = seed * 1103515245 + 12345;
                        const double r = ((seed >> 8) % 10001) / 10000.0 * 2 - 1;
                        target = reversal % 4 == 3 ? target - 0.3 * r : 5 * r;
                        const int d = target > spring.Displacement() ? 1 : -1;
                        const bool reverses = d != lastD;
                        lastD = d;
                        bool first = true;
                        while (spring.Displacement() != target) {
                            const double x0 = spring.Displacement(), q0 = spring.Force();
                            const double step = first ? 1e-3 : 0.07;
                            DriveSpringTo(spring, d > 0 ? std::min(x0 + step, target)
                                                        : std::max(x0 - step, target));
                            const double x = spring.Displacement(), q = spring.Force();
                            reached[0] = std::min(reached[0], x);
                            reached[1] = std::max(reached[1], x);
                            const double m = reached[x > 0];
                            ASSERT_LE(std::fabs(q),
                                      Skeleton(std::max(std::fabs(x), 1.0), p) + 1e-12);
                            if (model == SpringModel::Origin) {
                                ASSERT_NEAR(q, x * Skeleton(m, p) / m, 1e-12);
                            } else if (first && reverses && std::fabs(q0) > 2e-3) {
                                ASSERT_NEAR((q - q0) / (x - x0), 1, 1e-9);
                            }
                            ASSERT_GE(spring.HystereticEnergy(), lastEh - 1e-12);
                            lastEh = spring.HystereticEnergy();
                            first = false;
                            for (int dir : {1, -1}) {
                                auto ahead = spring;
                                SpringSegment s = ahead.Segment(dir);
                                for (int n = 1; std::isfinite(s.xEnd); ++n) {
                                    ASSERT_LT(n, kMaxSpringSegments);
                                    ASSERT_GE(dir * (s.xEnd - s.x0), 0);
                                    ASSERT_TRUE(s.k >= 0 && s.k <= 1);
                                    ASSERT_NEAR(s.q0 + s.k * (s.xEnd - s.x0), s.qEnd, 1e-9);
                                    ahead.MoveTo(s, s.xEnd);
                                    s = ahead.Segment(dir);
                                }
                                if (model == SpringModel::Bilinear) {
                                    ASSERT_NEAR(s.q0, p * s.x0 + dir * (1 - p), 1e-12);
                                } else {
                                    ASSERT_EQ(s.x0, reached[dir > 0]);
                                    ASSERT_NEAR(s.q0, Skeleton(s.x0, p), 1e-12);
                                }
                            }
                        }
                    }
                },
                any);
        }
    }
}

// A step solver's use: on each segment it solves Q(x) + c (x - xs) = F, c > 0 standing for
// the mass and damping terms. Results worked out by hand; non-finite or extreme inputs end.
TEST(Hysteresis, StepSolverWalksTheBranches) {
    using enum SpringModel;
    constexpr double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
    struct Walk {
        const char* what;
        SpringModel model;
        double p;
        std::vector<double> before;  // prescribed displacements first
        double xs, f, x, q;          // (c = 1) and the answer
    } walks[] = {
        {"perfectly plastic from rest", Bilinear, 0, {}, 0, 3, 2, 1},
        {"clough unloading then reloading", Clough, 0.25, {3, -3}, -3, 2.5, -0.75, 0.25},
        {"origin through the origin", Origin, 0.25, {3}, 3, -4, -0.5, -0.5},
        {"origin beyond the largest point", Origin, 0.25, {3, 0}, 0, 6, 4.2, 1.8},
        {"infinite force", Bilinear, 0, {}, 0, inf, inf, 1},
        {"NaN force", Clough, 0.25, {3, 1}, 1, nan, nan, nan},
        {"after NaN", Origin, 0, {nan}, 0, 1, nan, nan},
    };
    for (const Walk& w : walks) {
        SCOPED_TRACE(w.what);
        AnySpring any = Make(w.model, w.p);
        std::visit(
            [&](auto& spring) {
                for (double x : w.before) DriveSpringTo(spring, x);
                const int d = w.f > spring.Force() ? 1 : -1;
                const double x = WalkSpring(spring, d, [&](const SpringSegment& s) {
                    return (w.f - s.q0 + s.k * s.x0 + w.xs) / (s.k + 1);
                });
                if (std::isnan(w.x)) {
                    EXPECT_TRUE(std::isnan(x) && std::isnan(spring.Displacement()));
                } else if (std::isinf(w.x)) {
                    EXPECT_EQ(spring.Displacement(), w.x);
                    EXPECT_EQ(spring.Force(), w.q);
                } else {
                    EXPECT_NEAR(spring.Displacement(), w.x, 1e-12);
                    EXPECT_NEAR(spring.Force(), w.q, 1e-12);
                }
            },
            any);
    }
    // Only parameters a model can follow are accepted, down to the extremes of dy.
    struct Parameters {
        SpringParameters p;
        bool valid;
    } parameters[] = {
        {{100, 20, 0}, true},       {{100, 20, 0.999}, true},    {{1e150, 1e-150, 0}, true},
        {{1e-150, 1e150, 0}, true}, {{0, 20, 0}, false},         {{100, -20, 0}, false},
        {{100, 20, 1}, false},      {{100, 20, -0.1}, false},    {{nan, 20, 0}, false},
        {{100, inf, 0}, false},     {{1e300, 1e-300, 0}, false}, {{100, 20, nan}, false},
    };
    for (const auto& [p, valid] : parameters) {
        EXPECT_EQ(ValidSpringParameters(p), valid) << p.stiffness << " " << p.yieldForce;
    }
}

}  // namespace
}  // namespace kestrel
