// The inputs of the study of a record: the damping list and the period range of the
// response spectra, read from the texts the study window's boxes and the command line's
// options hold. Every refusal names the box (or the item of the list) in Japanese.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrel {

// The boxes an input error can point at (StudyError::box).
inline constexpr std::string_view kDampingListBox = "dampingList";
inline constexpr std::string_view kPeriodMinBox = "periodMin";
inline constexpr std::string_view kPeriodMaxBox = "periodMax";
inline constexpr std::string_view kPeriodCountBox = "periodCount";
inline constexpr std::string_view kSmoothingBox = "smoothing";

// Why a study input or computation was refused. `box` is one of the k...Box names above,
// or empty when the fault lies with the record rather than a box; `message` is the UTF-8
// Japanese text shown to the user (it names the box or the item).
struct StudyError {
    std::string box;
    std::string message;
};

// A refusal that names the box.
StudyError Refuse(std::string_view box, std::string message);

// A value or the reason there is none.
template <typename T>
class StudyResult {
public:
    StudyResult(T value) : value_(std::move(value)) {}           // NOLINT: reads as a value
    StudyResult(StudyError error) : error_(std::move(error)) {}  // NOLINT: reads as an error
    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return *value_; }
    T& value() & { return *value_; }
    T&& value() && { return std::move(*value_); }
    const T& operator*() const& { return *value_; }
    const T* operator->() const { return &*value_; }
    const StudyError& error() const { return error_; }

private:
    std::optional<T> value_;
    StudyError error_;
};

// The items of a list typed into a box: split at blanks, ",", and the full-width "、", "，"
// and "　"; empty items dropped.
std::vector<std::string> SplitStudyList(std::string_view text);

// A number typed into one of the study's boxes: what StrictNumber reads, with the
// full-width forms a Japanese input method types ("５", "０．２", "－１", "１ｅ３") and the
// ideographic space read as their ASCII forms.
std::optional<double> StudyNumber(std::string_view text);

// StudyNumber, with a number too large for the program ("1e999", "-1e999") read as an
// infinity of its sign, for the box's range to refuse.
std::optional<double> StudyBoxNumber(std::string_view text);

// One damping ratio of the list: the percentage as the program writes numbers (without a
// "%" sign: "5" for "5", "５" or "5.0", "50" for "5e1") and the ratio it stands for (0.05).
struct DampingItem {
    std::string text;
    double ratio = 0;
};

// The most damping ratios a list may hold: each is a curve of every chart, and the time a
// spectrum takes grows with their number.
inline constexpr std::size_t kMaxDampingCount = 20;

// A list of percentages separated by commas (",", "、", "，") and/or blanks, e.g.
// "2, 5 10". Each item may end in "%" (or "％") and is read by StudyNumber. Refused: an empty list,
// an item that is not a number, a negative ratio, a ratio of 100 % or more, more than
// kMaxDampingCount different ratios. 0 is allowed. An item equal to an earlier one is taken once;
// the order is the list's.
StudyResult<std::vector<DampingItem>> ParseDampingList(std::string_view text);

// The default damping list text: the building's damping as the run reads txtH, and 5 %,
// ascending ("2, 5"); "5" alone when they are equal or the building's damping cannot be
// a spectrum's (negative, or 100 % or more).
std::string DefaultDampingListText(std::string_view dampingBoxText);

// The periods of the spectra: `count` points log-spaced from `min` to `max` seconds.
struct PeriodRange {
    double min = 0.02;
    double max = 10;
    int count = 200;
};

inline constexpr int kMinPeriodCount = 2;
inline constexpr int kMaxPeriodCount = 2000;

// Reads the three boxes (each by StudyNumber). Refused, naming the box: a text that is not a
// number, a minimum of 0 or less, a minimum not below the maximum, a count that is not a whole
// number from kMinPeriodCount to kMaxPeriodCount.
StudyResult<PeriodRange> ParsePeriodRange(std::string_view minText, std::string_view maxText,
                                          std::string_view countText);

// "MIN:MAX:COUNT", the command line's form of the same three boxes.
StudyResult<PeriodRange> ParsePeriodRangeOption(std::string_view text);

// The periods of a valid range, ascending, the ends exact: exactly the points asked for.
// The building's own period is not one of them; it is marked on its own.
std::vector<double> SpectrumPeriods(const PeriodRange& range);

// The smoothing width of the Fourier spectrum in Hz: an empty box (or "0") means no
// smoothing; a negative value or a non-number (read by StudyNumber) is refused naming the
// box.
StudyResult<std::optional<double>> ParseSmoothingBandwidth(std::string_view text);

}  // namespace kestrel
