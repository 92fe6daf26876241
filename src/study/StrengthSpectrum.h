// Required-strength (constant-ductility) spectra of a ground-acceleration record: for each
// period and each target ductility mu, the largest yield coefficient Cy whose bilinear
// oscillator (unit mass, kinematic hardening, second stiffness ratio p) reaches
// max|x| / dy = mu under the record; the strength reduction R = Cy(T, 1) / Cy(T, mu) and the
// energy input spectrum V_E = sqrt(2 E_I / M). docs/strength-spectra.md gives the method.
//
// The oscillator of period T: K = w^2, C = 2 h w (w = 2 pi / T, the program's 2 pi), the
// yield force Qy = Cy g (g = 980.665 cm/s^2), dy = Qy / K. It starts at rest and is followed
// by the linear acceleration method on SpectrumSubsteps(dt, T) equal sub-steps per sample,
// the ground linear between samples, each sub-step's equation solved exactly on the
// spring's branches.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "study/StudyInputs.h"

namespace kestrel {

// The boxes of the strength spectrum's inputs (StudyError::box), beside the period boxes
// of StudyInputs.h, which it shares.
inline constexpr std::string_view kStrengthDampingBox = "strengthDamping";
inline constexpr std::string_view kDuctilityListBox = "ductilityList";
inline constexpr std::string_view kSecondStiffnessBox = "secondStiffnessRatio";
// Not a box: the error of a computation its caller stopped (StrengthProgress::cancel).
inline constexpr std::string_view kStrengthCancelled = "cancelled";

// Standard gravity (cm/s^2): Qy = Cy M g.
inline constexpr double kStrengthGravity = 980.665;

// One target ductility of the list: the value as the program writes numbers ("2" for "2",
// "２" or "2.0") and the value.
struct DuctilityItem {
    std::string text;
    double ratio = 1;
};

// The list's limits: as many items as the damping list of the spectra, and ductilities up
// to 100, far beyond any a building is designed for (each doubling of mu costs about 23 more
// runs of the grid per period).
inline constexpr std::size_t kMaxDuctilityCount = 20;
inline constexpr double kMaxDuctility = 100;

// A list of ductilities separated as the damping list is (",", "、", "，", blanks), e.g.
// "1, 2, 4". Refused, naming the item: a non-number, a value below 1, above kMaxDuctility;
// an empty list; more than kMaxDuctilityCount different values. A repeated value is taken
// once; the order is the list's.
StudyResult<std::vector<DuctilityItem>> ParseDuctilityList(std::string_view text);

// The damping of the oscillators in % ("5", "5%"), 0 <= h < 100 %, as a ratio.
StudyResult<double> ParseStrengthDamping(std::string_view text);

// The second stiffness ratio p, 0 <= p < 1.
StudyResult<double> ParseSecondStiffnessRatio(std::string_view text);

// The default damping text: the building's damping as the run reads its box (txtH, in %),
// "5" when that is not a damping the oscillators can take.
std::string DefaultStrengthDampingText(std::string_view dampingBoxText);

// What the tab's boxes and the command line's options hold.
struct StrengthTexts {
    std::string damping = "5";
    std::string ductilities = "1, 2, 4";
    std::string secondStiffnessRatio = "0";
    std::string periodMin = "0.05";
    std::string periodMax = "5";
    std::string periodCount = "100";
    // "MIN:MAX:COUNT", the command line's --periods: read instead of the three boxes above
    // when it is not empty.
    std::string periodOption;
};

struct StrengthSettings {
    double damping = 0.05;  // h, ratio
    std::vector<DuctilityItem> ductilities;
    double secondStiffnessRatio = 0;  // p
    std::vector<double> periods;      // s
};

// Reads every box, in the order damping, ductilities, p, periods; the first refusal names
// its box.
StudyResult<StrengthSettings> ReadStrengthSettings(const StrengthTexts& texts);

// The curves of one target ductility, in the order of the periods.
struct StrengthCurves {
    std::vector<double> cy;  // required yield coefficient
    std::vector<double> ve;  // sqrt(2 E_I / M) of the oscillator with that Cy, cm/s
    std::vector<double> r;   // Cy(T, 1) / Cy(T, mu)
};

struct StrengthSpectrum {
    std::vector<double> periods;  // s, as given
    double damping = 0;
    double secondStiffnessRatio = 0;
    std::vector<DuctilityItem> ductilities;  // as given
    std::vector<double> elasticCy;           // Cy(T, 1) = K max|x| / g of the elastic oscillator
    std::vector<double> elasticVe;           // its V_E, cm/s
    std::vector<StrengthCurves> curves;      // one per ductility, in the list's order
};

// How the tab follows and stops a computation. `report` gets the fraction done (0..1,
// never falling) on the thread that called ComputeStrengthSpectrum, between work units;
// `cancel`, when set, is read between work units by every thread, and its being true ends
// the computation with the error box kStrengthCancelled.
struct StrengthProgress {
    std::function<void(double)> report;
    const std::atomic<bool>* cancel = nullptr;
};

// The spectra of the record (samples dt apart, cm/s^2). Periods and dt as
// ComputeResponseSpectrum takes them (a period needing more than kMaxSpectrumSubsteps is
// refused naming the minimum period's box); 0 <= damping < 1, 0 <= p < 1, each ductility
// from 1 to kMaxDuctility. A record with no motion gives Cy = 0, V_E = 0 and R = 1. A
// response beyond kLargestSpectrumValue is refused as an overflow. Uses both cores and the
// widest vector unit; the numbers are the same bits on every processor and the same as
// ComputeStrengthSpectrumScalar's.
StudyResult<StrengthSpectrum> ComputeStrengthSpectrum(std::span<const double> ground, double dt,
                                                      const StrengthSettings& settings,
                                                      const StrengthProgress& progress = {});

// The same search one oscillator at a time, without vectors or threads: the reference.
StudyResult<StrengthSpectrum> ComputeStrengthSpectrumScalar(std::span<const double> ground,
                                                            double dt,
                                                            const StrengthSettings& settings);

// One oscillator of the search alone: its largest |x| (cm) and its input energy per unit
// mass at the record's end (cm^2/s^2). cy = +infinity is the elastic oscillator.
struct StrengthRun {
    double peak = 0;
    double inputEnergy = 0;
};
StrengthRun RunStrengthOscillator(std::span<const double> ground, double dt, double period,
                                  double damping, double secondStiffnessRatio, double cy);

}  // namespace kestrel
