#include "study/StudyInputs.h"

#include <algorithm>
#include <cmath>

#include "runtime/Catalogue.h"
#include "runtime/Conversions.h"

namespace kestrel {

namespace {

bool StartsNegative(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    return first != std::string_view::npos && text[first] == '-';
}

// The items of a list: split at ASCII blanks, "," and the full-width "、" and "，".
std::vector<std::string> SplitList(std::string_view text) {
    std::vector<std::string> items;
    std::string current;
    auto flush = [&] {
        if (!current.empty()) items.push_back(current);
        current.clear();
    };
    for (std::size_t i = 0; i < text.size();) {
        const std::string_view rest = text.substr(i);
        if (rest.starts_with("、") || rest.starts_with("，") || rest.starts_with("　")) {
            flush();
            i += 3;  // each is three bytes in UTF-8
            continue;
        }
        const char c = text[i];
        if (c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            flush();
        } else {
            current += c;
        }
        ++i;
    }
    flush();
    return items;
}

// The code point of the UTF-8 sequence at the start of `text` and its length in bytes; a
// byte that starts no valid sequence is taken as itself, one byte long.
std::pair<char32_t, std::size_t> CodePointAt(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char first = byte(0);
    if (first >= 0xE0 && first < 0xF0 && text.size() >= 3 && (byte(1) & 0xC0) == 0x80 &&
        (byte(2) & 0xC0) == 0x80) {
        return {static_cast<char32_t>(((first & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) |
                                      (byte(2) & 0x3F)),
                3};
    }
    return {first, 1};
}

// Why a box's text gives no number: a number beyond the largest the program holds
// ("1e999") is too large, anything else is not a number.
std::string NoNumber(std::string_view what, std::string_view text) {
    if (!IsNumberTooLarge(text)) return Tr("{1}の「{2}」は数値ではありません。", what, text);
    if (StartsNegative(text)) return Tr("{1}の「{2}」は絶対値が大きすぎます。", what, text);
    return Tr("{1}の「{2}」は大きすぎます。", what, text);
}

}  // namespace

StudyError Refuse(std::string_view box, std::string message) {
    return StudyError{std::string(box), std::move(message)};
}

std::vector<std::string> SplitStudyList(std::string_view text) {
    return SplitList(text);
}

std::optional<double> StudyNumber(std::string_view text) {
    std::string ascii;
    ascii.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto [code, length] = CodePointAt(text.substr(i));
        if (code >= 0xFF01 && code <= 0xFF5E) {
            ascii += static_cast<char>(code - 0xFEE0);  // the full-width forms of "!" .. "~"
        } else if (code == 0x3000) {
            ascii += ' ';
        } else {
            ascii.append(text.substr(i, length));
        }
        i += length;
    }
    return StrictNumber(ascii);
}

std::optional<double> StudyBoxNumber(std::string_view text) {
    if (const std::optional<double> value = StudyNumber(text)) return value;
    if (IsNumberTooLarge(text)) return StartsNegative(text) ? -HUGE_VAL : HUGE_VAL;
    return std::nullopt;
}

StudyResult<std::vector<DampingItem>> ParseDampingList(std::string_view text) {
    std::vector<DampingItem> items;
    for (std::string item : SplitList(text)) {
        std::string number = item;
        if (number.ends_with("%")) number.pop_back();
        if (number.ends_with("％")) number.resize(number.size() - 3);
        const std::optional<double> percent = StudyBoxNumber(number);
        if (!percent) {
            return Refuse(kDampingListBox, Tr("減衰定数の「{1}」は数値ではありません。\n"
                                              "減衰定数は 0 以上 100 未満の % で入力してください。",
                                              item));
        }
        if (*percent < 0) {
            return Refuse(kDampingListBox, Tr("減衰定数の「{1}」は負の値です。\n"
                                              "減衰定数は 0 以上 100 未満の % で入力してください。",
                                              item));
        }
        if (*percent >= 100) {
            return Refuse(kDampingListBox, Tr("減衰定数の「{1}」は 100 % 以上です。\n"
                                              "減衰定数は 0 以上 100 未満の % で入力してください。",
                                              item));
        }
        const double ratio = *percent / 100;
        const bool seen = std::any_of(items.begin(), items.end(),
                                      [&](const DampingItem& d) { return d.ratio == ratio; });
        if (seen) continue;
        if (items.size() == kMaxDampingCount) {
            return Refuse(kDampingListBox,
                          Tr("減衰定数が多すぎます。\n減衰定数は 20 個までにしてください。"));
        }
        items.push_back(DampingItem{NumberText(*percent), ratio});
    }
    if (items.empty()) {
        return Refuse(kDampingListBox,
                      Tr("減衰定数が入力されていません。\n減衰定数を % で 1 つ以上、コンマで"
                         "区切って入力してください（例：2, 5）。"));
    }
    return items;
}

std::string DefaultDampingListText(std::string_view dampingBoxText) {
    const double building = LeadingNumber(dampingBoxText);
    if (!(building >= 0 && building < 100) || building == 5) return "5";
    const std::string text = NumberText(building);
    return building < 5 ? text + ", 5" : "5, " + text;
}

StudyResult<PeriodRange> ParsePeriodRange(std::string_view minText, std::string_view maxText,
                                          std::string_view countText) {
    const std::optional<double> min = StudyNumber(minText);
    if (!min) return Refuse(kPeriodMinBox, NoNumber(Tr("最小周期"), minText));
    const std::optional<double> max = StudyNumber(maxText);
    if (!max) return Refuse(kPeriodMaxBox, NoNumber(Tr("最大周期"), maxText));
    const std::optional<double> count = StudyNumber(countText);
    if (!count) return Refuse(kPeriodCountBox, NoNumber(Tr("周期の点数"), countText));
    if (*min <= 0) return Refuse(kPeriodMinBox, Tr("最小周期は 0 より大きい値にしてください。"));
    if (*min >= *max) {
        return Refuse(kPeriodMaxBox, Tr("最大周期は最小周期より大きい値にしてください。"));
    }
    if (!(*count >= kMinPeriodCount && *count <= kMaxPeriodCount) || *count != std::floor(*count)) {
        return Refuse(kPeriodCountBox, Tr("周期の点数は 2 以上 2000 以下の整数にしてください。"));
    }
    return PeriodRange{*min, *max, static_cast<int>(*count)};
}

StudyResult<PeriodRange> ParsePeriodRangeOption(std::string_view text) {
    const std::size_t first = text.find(':');
    const std::size_t second = first == std::string_view::npos ? first : text.find(':', first + 1);
    if (second == std::string_view::npos || text.find(':', second + 1) != std::string_view::npos) {
        return Refuse(kPeriodMinBox, Tr("周期の範囲「{1}」は 最小:最大:点数 の形で入力してください"
                                        "（例：0.02:10:200）。",
                                        text));
    }
    return ParsePeriodRange(text.substr(0, first), text.substr(first + 1, second - first - 1),
                            text.substr(second + 1));
}

std::vector<double> SpectrumPeriods(const PeriodRange& range) {
    const int n = range.count;
    std::vector<double> periods(static_cast<std::size_t>(n));
    const double logMin = std::log(range.min);
    const double logMax = std::log(range.max);
    for (int k = 0; k < n; ++k) {
        periods[static_cast<std::size_t>(k)] = std::exp(logMin + (logMax - logMin) * k / (n - 1));
    }
    periods.front() = range.min;
    periods.back() = range.max;
    return periods;
}

StudyResult<std::optional<double>> ParseSmoothingBandwidth(std::string_view text) {
    if (text.find_first_not_of(" \t") == std::string_view::npos) {
        return std::optional<double>();
    }
    const std::optional<double> width = StudyNumber(text);
    if (!width || *width < 0) {
        return Refuse(kSmoothingBox,
                      Tr("平滑化の幅「{1}」は 0 以上の数値（Hz）で入力してください。", text));
    }
    if (*width == 0) return std::optional<double>();
    return std::optional<double>(*width);
}

}  // namespace kestrel
