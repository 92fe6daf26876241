// How strong the shaking of a record was, in the numbers the news and the codes use: the
// JMA instrumental seismic intensity and its class, the peak ground acceleration,
// velocity and displacement per component and as the three-component vector, the SI value
// per horizontal component and for the horizontal pair, the Arias intensity, the
// significant duration D5-95 and the cumulative absolute velocity per component; with the
// series the charts draw (the JMA-filtered vector acceleration, the normalised Husid
// curves, the velocities and displacements).
//
//   PGA          the largest |a| of the record as given, cm/s^2.
//   PGV, PGD     the largest |v| and |d| of the record with its mean removed, high-passed
//                at the low-cut frequency (ZeroPhaseFilter.h) and integrated by the
//                trapezoid rule from rest: cm/s and cm.
//   Arias        Ia = pi / (2 g) x integral of a^2 dt, a in m/s^2, g = 9.80665 m/s^2, by
//                the trapezoid rule: m/s.
//   D5-95        the time between the Husid curve (the running integral of a^2 over its
//                total) reaching 5 % and 95 %, each found by linear interpolation between
//                samples: s.
//   CAV          integral of |a| dt by the trapezoid rule: cm/s.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/ComponentSet.h"
#include "study/SeismicIntensity.h"
#include "study/SpectrumIntensity.h"
#include "study/StudyInputs.h"

namespace kestrel {

// The box of the low-cut frequency (StudyError::box).
inline constexpr std::string_view kLowCutBox = "lowCut";
inline constexpr double kDefaultLowCut = 0.1;        // Hz
inline constexpr double kStandardGravity = 9.80665;  // m/s^2

// One direction of the record as the computation takes it.
struct IndexComponent {
    std::string name;                      // the caption: "NS", "EW", "UD" or the file's
    bool horizontal = true;                // SI is taken of horizontal directions only
    std::span<const double> acceleration;  // cm/s^2, samples dt apart
};

struct IndexOptions {
    double lowCut = kDefaultLowCut;  // Hz, 0 < lowCut < 1 / (2 dt)
};

struct ComponentIndices {
    std::string name;
    bool horizontal = true;
    double pga = 0;            // cm/s^2
    double pgv = 0;            // cm/s
    double pgd = 0;            // cm
    std::optional<double> si;  // cm/s; horizontal directions only
    double arias = 0;          // m/s
    // The times (s) the Husid curve reaches 5 % and 95 %, and D5-95 between them; none
    // for a record without motion (Ia = 0).
    std::optional<double> t5, t95, significantDuration;
    double cav = 0;  // cm/s
    // At each sample: the filtered and integrated velocity (cm/s) and displacement (cm),
    // and the Husid curve (0 to 1; all 0 for a record without motion).
    std::vector<double> velocity, displacement, husid;
};

// The peaks of the vector sum sqrt(ns^2 + ew^2 + ud^2) at each sample.
struct VectorPeaks {
    double pga = 0;  // cm/s^2
    double pgv = 0;  // cm/s
    double pgd = 0;  // cm
};

struct GroundMotionIndices {
    double timeStep = 0;  // s
    double lowCut = 0;    // Hz
    std::size_t sampleCount = 0;
    std::vector<ComponentIndices> components;  // in the order given
    // With three components: the intensity (none, with intensityReason, when the record
    // is shorter than 0.3 s) and the vector peaks. Otherwise both none, with
    // threeComponentReason.
    std::optional<SeismicIntensity> intensity;
    std::optional<VectorPeaks> vector;
    // With exactly two horizontal components: the SI of their pair (pairSv and the
    // peaks of each are in `spectrum`).
    std::optional<double> horizontalSi;
    // The Sv curves of the horizontal components (h = 20 %); none without one.
    std::optional<SpectrumIntensity> spectrum;
    // Why a value is missing, in Japanese whatever the language: the CSV's 備考 writes them.
    std::string threeComponentReason;  // UTF-8, empty when there are three components
    std::string intensityReason;       // empty when the intensity was computed
    std::string pairReason;            // empty when horizontalSi was computed
};

// The indices of one to three components of the same length, samples dt apart. Refused,
// naming the box where one is at fault: no component or more than three, components of
// different lengths, a step that is not a positive number, a low-cut frequency not
// between 0 and half the sampling rate (kLowCutBox), a record of kFilterEdge samples or
// fewer, values that leave the range of numbers.
StudyResult<GroundMotionIndices> ComputeIndices(std::span<const IndexComponent> components,
                                                double dt, const IndexOptions& options);

// The components of a record as read: named by their direction ("NS", "EW", "UD"), or,
// where the file does not say, by the file's own name of its component (or, when it names
// none, by the file's name) and taken as horizontal. The spans point into the set, which must
// outlive them.
std::vector<IndexComponent> IndexComponents(const ComponentSet& set);

// The low-cut box's text (full-width digits too): a number of Hz greater than 0; refused
// naming the box.
StudyResult<double> ParseLowCut(std::string_view text);

}  // namespace kestrel
