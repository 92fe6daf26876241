// The elastic-plastic run: the building of a run (K, M, h), its excitation and its ground
// motion, with columns that yield by one of the restoring-force models of Hysteresis.h,
// stepped by the linear acceleration method on the spring's branches (BranchWalkStepper.h),
// with its energies (Energies.h).
//
//     const RunOutcome run = RunFromTexts(texts, excitation, hooks);   // the elastic run
//     auto result = RunInelastic(*run.inputs, *run.motion, {SpringModel::Clough, 0.2, 0.1});
//     if (const auto* r = std::get_if<InelasticResponse>(&result)) { ... }
//
// The same points, times and ground accelerations as the elastic run of those inputs, and the
// same series (response acceleration absolute in the forced cases) beside the spring's force
// and the five energies. A yield force never reached gives the elastic run's numbers (up to
// rounding); SpringModel::Linear gives the elastic run itself with its energies, the yield
// displacement still taken from Cy for the ductility.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <variant>

#include "analysis/Analyze.h"
#include "analysis/Energies.h"
#include "analysis/Hysteresis.h"

namespace kestrel {

// Standard gravity, cm/s^2.
inline constexpr double kStandardGravity = 980.665;

struct InelasticParameters {
    SpringModel model = SpringModel::Bilinear;
    double yieldCoefficient = 0.2;    // Cy: Qy = Cy M g
    double secondStiffnessRatio = 0;  // p: the post-yield slope is p K
};

// Why an elastic-plastic run computed nothing.
enum class InelasticRefusal {
    YieldCoefficient,      // Cy is not a finite number > 0
    SecondStiffnessRatio,  // p is not in 0 <= p < 1
    Building,  // K or M is not > 0, or Qy = Cy M g and dy = Qy / K are not finite numbers > 0
};

// K, Qy = Cy M g (kN, with M in kN s^2/cm) and p.
SpringParameters SpringParametersOf(const Building& building, const InelasticParameters& p);

// The first reason in the order of the enumeration, or none.
std::optional<InelasticRefusal> RefusalOf(const Building& building, const InelasticParameters& p);

// What the response tells at a glance. The values "at the last row" are taken at the last
// row the result file writes, point pointCount - 2 (point 0 for a run of one point), or, for
// a run that stopped, at the last point it completed if that is earlier.
struct InelasticSummary {
    double yieldForce = 0;         // Qy, kN
    double yieldDisplacement = 0;  // dy = Qy / K, cm
    double peakForce = 0;          // max |Q| over the points from 1 on (as Response's peaks), kN
    // mu = max |x| over every point computed, point 0 included, / dy.
    double ductility = 0;
    int lastRow = -1;                   // the point of the values below; -1: nothing computed
    double residualDisplacement = 0;    // x at the last row, cm
    double plasticOffset = 0;           // x - Q/K at the last row, cm
    double cumulativePlasticRatio = 0;  // eta at the last row (Hysteresis.h)
    Energies energies;                  // at the last row, kN cm
    double hystereticShare = 0;         // E_H / E_I at the last row; 0 while E_I <= 0
    // V_E = sqrt(2 E_I / M) at the last row, cm/s; 0 while E_I <= 0 (infinite only for an
    // energy and a mass at the ends of the range of double).
    double equivalentVelocity = 0;
    double balanceError = 0;  // over every point computed (Energies.h)
};

// The spring's side of a run, one entry per point computed, as Response's series: the force
// Q (kN), the five energies (kN cm) and whether the column is yielding (1 where the step that
// ended at the point moved along a post-yield branch, else 0; 0 at point 0). Filled by the
// run in one block sized to its points, then shared, never changed, by every copy.
class InelasticSeries {
public:
    int size() const { return static_cast<int>(size_); }
    std::span<const double> force() const { return Column(0); }
    std::span<const double> input() const { return Column(1); }
    std::span<const double> kinetic() const { return Column(2); }
    std::span<const double> damping() const { return Column(3); }
    std::span<const double> strain() const { return Column(4); }
    std::span<const double> hysteretic() const { return Column(5); }
    std::span<const std::uint8_t> yielding() const {
        return {reinterpret_cast<const std::uint8_t*>(data_.get() + kColumns * capacity_), size_};
    }

    // The run's: room for its points, taken at once, then one point after another.
    void Reserve(int points);
    void Append(double force, const Energies& e, bool yielding) {
        double* row = data_.get() + size_;
        const std::size_t n = capacity_;
        row[0] = force;
        row[n] = e.input;
        row[2 * n] = e.kinetic;
        row[3 * n] = e.damping;
        row[4 * n] = e.strain;
        row[5 * n] = e.hysteretic;
        reinterpret_cast<std::uint8_t*>(data_.get() + kColumns * n)[size_] = yielding ? 1 : 0;
        ++size_;
    }

private:
    static constexpr std::size_t kColumns = 6;
    std::span<const double> Column(std::size_t c) const {
        return {data_.get() + c * capacity_, size_};
    }

    std::shared_ptr<double[]> data_;  // kColumns x capacity_ doubles, then the flags
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
};

// What an elastic-plastic run computed. Read-only.
class InelasticResponse {
public:
    InelasticResponse(const InelasticParameters& parameters, const SpringParameters& spring,
                      Response response, InelasticSeries series, const InelasticSummary& summary)
        : parameters_(parameters),
          spring_(spring),
          response_(std::move(response)),
          series_(std::move(series)),
          summary_(summary) {}

    const InelasticParameters& parameters() const { return parameters_; }
    const SpringParameters& spring() const { return spring_; }  // K, Qy, p
    // The skeleton's force at x (kN): Q = K x up to dy, then Qy + p K (|x| - dy) with x's
    // sign (for SpringModel::Linear too, for drawing).
    double SkeletonForce(double x) const;

    // Points, fault, step time, the five series of the elastic run's kind and their peaks.
    const Response& response() const { return response_; }
    int pointCount() const { return response_.pointCount(); }
    int completedPoints() const { return response_.completedPoints(); }
    bool complete() const { return response_.complete(); }

    std::span<const double> force() const { return series_.force(); }
    std::span<const double> inputEnergy() const { return series_.input(); }
    std::span<const double> kineticEnergy() const { return series_.kinetic(); }
    std::span<const double> dampingEnergy() const { return series_.damping(); }
    std::span<const double> strainEnergy() const { return series_.strain(); }
    std::span<const double> hystereticEnergy() const { return series_.hysteretic(); }
    std::span<const std::uint8_t> yielding() const { return series_.yielding(); }

    const InelasticSummary& summary() const { return summary_; }

private:
    InelasticParameters parameters_;
    SpringParameters spring_;
    Response response_;
    InelasticSeries series_;
    InelasticSummary summary_;
};

// The run, or the refusal of its parameters (then nothing is computed). A fault stops the
// run at the point it happens, as Analyze: the response holds the points before it.
std::variant<InelasticResponse, InelasticRefusal> RunInelastic(const RunInputs& inputs,
                                                               const GroundMotion& motion,
                                                               const InelasticParameters& p);

}  // namespace kestrel
