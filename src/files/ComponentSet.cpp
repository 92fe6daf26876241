#include "files/ComponentSet.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>

#include "files/RecordText.h"
#include "runtime/Catalogue.h"
#include "runtime/Conversions.h"

namespace kestrel {

namespace {

using Kind = ComponentProblem::Kind;

// The labels stand in the first 18 columns of a K-NET/KiK-net header line; the header has
// 17 lines.
constexpr std::size_t kLabelColumns = 18;
constexpr int kHeaderLines = 17;

// The three directions in their order; the index of each is its place in the arrays.
constexpr RecordComponent kDirections[] = {RecordComponent::NS, RecordComponent::EW,
                                           RecordComponent::UD};

std::size_t DirectionIndex(RecordComponent direction) {
    return static_cast<std::size_t>(direction == RecordComponent::NS   ? 0
                                    : direction == RecordComponent::EW ? 1
                                                                       : 2);
}

bool IsNetworkFormat(const std::optional<RecordInfo>& info) {
    return info && (info->format == "K-NET" || info->format == "KiK-net");
}

// The numbers are kept bare and given their units where the text is made, in its language.
std::string PointsText(std::size_t count) {
    return std::to_string(count);
}

std::string StepText(double timeStep) {
    return NumberText(timeStep);
}

// The label of a RateDiffers problem whose values are time steps (seconds).
constexpr std::string_view kStepLabel = "時間刻み";

ComponentProblem Problem(Kind kind, std::string path, std::optional<RecordComponent> direction) {
    ComponentProblem p;
    p.kind = kind;
    p.path = std::move(path);
    p.direction = direction;
    return p;
}

// The sibling's path: the name in the folder of the chosen file.
std::string InFolder(const std::filesystem::path& folder, const std::string& name) {
    return folder.empty() ? name : (folder / name).string();
}

// The file of the name in the folder, letters compared without their case. A name written
// exactly as asked wins over names that differ in case; several of those alone are
// ambiguous. When the folder cannot be listed the name as asked is tried as it stands.
struct Found {
    std::optional<std::string> path;
    std::vector<std::string> ambiguous;
};

Found FindInFolder(const std::filesystem::path& folder, const std::string& name) {
    std::error_code error;
    std::filesystem::directory_iterator entries(folder.empty() ? "." : folder, error);
    if (error) return Found{InFolder(folder, name), {}};
    std::vector<std::string> matches;
    for (auto it = entries; !error && it != std::filesystem::directory_iterator();
         it.increment(error)) {
        const std::string entry = it->path().filename().string();
        if (entry == name) return Found{InFolder(folder, name), {}};
        if (EqualsNoCase(entry, name)) matches.push_back(entry);
    }
    if (matches.size() == 1) return Found{InFolder(folder, matches.front()), {}};
    std::sort(matches.begin(), matches.end());
    return Found{std::nullopt, std::move(matches)};
}

std::optional<NetworkRecordHeader> HeaderOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return ReadNetworkRecordHeader(in);
}

// Compares a sibling with the chosen file; the first difference found, if any.
std::optional<ComponentProblem> Mismatch(const ComponentRecord& sibling,
                                         const NetworkRecordHeader& header,
                                         const ComponentRecord& chosen,
                                         const NetworkRecordHeader& chosenHeader) {
    ComponentProblem p = Problem(Kind::NotSameRecord, sibling.path, sibling.direction);
    if (sibling.info->format != chosen.info->format) {
        p.kind = Kind::OtherFormat;
        p.found = sibling.info->format;
        p.expected = chosen.info->format;
        return p;
    }
    const std::pair<const char*, std::pair<std::string, std::string>> identity[] = {
        {"Station Code", {header.stationCode, chosenHeader.stationCode}},
        {"Record Time", {header.recordTime, chosenHeader.recordTime}},
    };
    for (const auto& [label, values] : identity) {
        if (values.first != values.second) {
            p.label = label;
            p.found = DisplayItem(values.first);
            p.expected = DisplayItem(values.second);
            return p;
        }
    }
    if (sibling.record.timeStep != chosen.record.timeStep) {
        p.kind = Kind::RateDiffers;
        p.label = "Sampling Freq(Hz)";
        p.found = DisplayItem(header.samplingFrequency);
        p.expected = DisplayItem(chosenHeader.samplingFrequency);
        return p;
    }
    if (sibling.record.samples.size() != chosen.record.samples.size()) {
        p.kind = Kind::LengthDiffers;
        p.found = PointsText(sibling.record.samples.size());
        p.expected = PointsText(chosen.record.samples.size());
        return p;
    }
    return std::nullopt;
}

// The time step and length of a direction named by hand against the first one named.
std::optional<ComponentProblem> ShapeMismatch(const ComponentRecord& other,
                                              const ComponentRecord& reference) {
    ComponentProblem p = Problem(Kind::RateDiffers, other.path, other.direction);
    if (other.record.timeStep != reference.record.timeStep) {
        p.label = kStepLabel;
        p.found = StepText(other.record.timeStep);
        p.expected = StepText(reference.record.timeStep);
        return p;
    }
    if (other.record.samples.size() != reference.record.samples.size()) {
        p.kind = Kind::LengthDiffers;
        p.found = PointsText(other.record.samples.size());
        p.expected = PointsText(reference.record.samples.size());
        return p;
    }
    return std::nullopt;
}

ComponentRecord FromRead(WaveReadResult read, std::string path, RecordComponent direction,
                         bool known) {
    ComponentRecord c;
    c.direction = direction;
    c.directionKnown = known;
    c.path = std::move(path);
    c.record = std::move(read.record);
    c.info = std::move(read.info);
    return c;
}

// The three columns of a JMA CSV record.
ComponentSetRead ReadColumns(const std::string& path) {
    ComponentSetRead out;
    for (const RecordComponent direction : kDirections) {
        WaveReadResult read = ReadWaveFile(path, direction);
        if (read.ok()) {
            out.set.components.push_back(FromRead(std::move(read), path, direction, true));
        } else if (read.error->kind == WaveError::Kind::ComponentMissing) {
            out.set.problems.push_back(Problem(Kind::ColumnMissing, path, direction));
        } else {
            out.error = std::move(read.error);
            return out;
        }
    }
    if (out.set.components.empty()) {
        // The header named columns, none of them a direction that reads.
        out.error = WaveError{};
        out.error->kind = WaveError::Kind::ComponentMissing;
        out.error->detail = "NS";
    }
    return out;
}

// The chosen K-NET/KiK-net file and its siblings of the same recording.
ComponentSet ReadNetworkSet(const std::string& path, ComponentRecord chosen) {
    ComponentSet set;
    const std::filesystem::path file(path);
    const std::optional<SiblingNames> names = NetworkSiblingNames(file.filename().string());
    const std::optional<NetworkRecordHeader> chosenHeader = HeaderOf(path);
    if (!names || !chosenHeader) {
        set.components.push_back(std::move(chosen));
        set.problems.push_back(Problem(Kind::NameNotRecognised, path, std::nullopt));
        return set;
    }
    // The name says the direction, as it says the siblings'.
    chosen.direction = names->direction;
    chosen.directionKnown = true;
    const std::filesystem::path folder = file.parent_path();
    std::vector<ComponentRecord> found;
    for (const RecordComponent direction : kDirections) {
        if (direction == names->direction) continue;
        const std::string& name = names->names[DirectionIndex(direction)];
        const Found where = FindInFolder(folder, name);
        if (!where.path) {
            ComponentProblem p =
                Problem(where.ambiguous.empty() ? Kind::SiblingMissing : Kind::SiblingAmbiguous,
                        InFolder(folder, name), direction);
            for (const std::string& candidate : where.ambiguous) {
                p.found += (p.found.empty() ? "" : "、") + candidate;
            }
            set.problems.push_back(std::move(p));
            continue;
        }
        WaveReadResult read = ReadWaveFile(*where.path);
        if (!read.ok()) {
            const bool absent = read.error->kind == WaveError::Kind::CannotOpen &&
                                read.error->systemError == ENOENT;
            ComponentProblem p =
                Problem(absent ? Kind::SiblingMissing : Kind::Unreadable, *where.path, direction);
            if (!absent) p.readError = std::move(read.error);
            set.problems.push_back(std::move(p));
            continue;
        }
        ComponentRecord sibling = FromRead(std::move(read), *where.path, direction, true);
        if (!IsNetworkFormat(sibling.info)) {
            ComponentProblem p = Problem(Kind::OtherFormat, sibling.path, direction);
            p.found = sibling.info ? sibling.info->format : std::string(TrNoop("地震波ファイル"));
            p.expected = chosen.info->format;
            set.problems.push_back(std::move(p));
            continue;
        }
        const std::optional<NetworkRecordHeader> header = HeaderOf(sibling.path);
        if (!header) {
            ComponentProblem p = Problem(Kind::Unreadable, sibling.path, direction);
            WaveError e;
            e.kind = WaveError::Kind::HeaderEnded;
            e.line = 1;
            e.label = "Origin Time";
            p.readError = std::move(e);
            set.problems.push_back(std::move(p));
            continue;
        }
        if (auto problem = Mismatch(sibling, *header, chosen, *chosenHeader)) {
            set.problems.push_back(std::move(*problem));
            continue;
        }
        found.push_back(std::move(sibling));
    }
    found.push_back(std::move(chosen));
    std::sort(found.begin(), found.end(), [](const ComponentRecord& a, const ComponentRecord& b) {
        return DirectionIndex(a.direction) < DirectionIndex(b.direction);
    });
    for (std::size_t i = 0; i < found.size(); ++i) {
        if (found[i].direction == names->direction) set.chosen = i;
    }
    set.components = std::move(found);
    return set;
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// "NS 成分の" before a file's name; nothing without a direction.
std::string DirectionWords(const ComponentProblem& p) {
    return p.direction ? Tr("{1} 成分の", ComponentName(*p.direction)) : std::string();
}

}  // namespace

ComponentSetRead ReadComponentSet(const std::string& path) {
    WaveReadResult read = ReadWaveFile(path);
    if (read.needsComponent()) return ReadColumns(path);
    ComponentSetRead out;
    if (!read.ok()) {
        out.error = std::move(read.error);
        return out;
    }
    const bool network = IsNetworkFormat(read.info);
    ComponentRecord chosen = FromRead(std::move(read), path, RecordComponent::NS, false);
    if (network) {
        out.set = ReadNetworkSet(path, std::move(chosen));
        return out;
    }
    out.set.components.push_back(std::move(chosen));
    out.set.problems.push_back(Problem(Kind::SingleComponent, path, std::nullopt));
    return out;
}

ComponentSetRead ReadChosenComponents(const std::array<std::string, 3>& paths,
                                      std::optional<std::size_t> reference) {
    ComponentSetRead out;
    // The reference is read first; the others in their order.
    if (!reference || *reference >= paths.size() || paths[*reference].empty()) {
        reference.reset();
        for (std::size_t i = 0; i < paths.size() && !reference; ++i) {
            if (!paths[i].empty()) reference = i;
        }
    }
    if (!reference) {
        out.error = WaveError{};
        out.error->kind = WaveError::Kind::CannotOpen;
        out.error->systemError = ENOENT;
        out.error->reason = {TrNoop("ファイルが選ばれていません")};
        return out;
    }
    WaveReadResult first = ReadWaveFile(paths[*reference], kDirections[*reference]);
    if (!first.ok()) {
        out.error = std::move(first.error);
        return out;
    }
    const ComponentRecord fit =
        FromRead(std::move(first), paths[*reference], kDirections[*reference], true);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const RecordComponent direction = kDirections[i];
        if (i == *reference) {
            out.set.chosen = out.set.components.size();
            out.set.components.push_back(fit);
            continue;
        }
        if (paths[i].empty()) {
            out.set.problems.push_back(Problem(Kind::NotNamed, "", direction));
            continue;
        }
        WaveReadResult read = ReadWaveFile(paths[i], direction);
        if (!read.ok()) {
            ComponentProblem p = Problem(Kind::Unreadable, paths[i], direction);
            p.readError = std::move(read.error);
            out.set.problems.push_back(std::move(p));
            continue;
        }
        ComponentRecord c = FromRead(std::move(read), paths[i], direction, true);
        if (auto problem = ShapeMismatch(c, fit)) {
            out.set.problems.push_back(std::move(*problem));
            continue;
        }
        out.set.components.push_back(std::move(c));
    }
    return out;
}

std::optional<NetworkRecordHeader> ReadNetworkRecordHeader(std::istream& in) {
    LineReader lines(in);
    std::string line;
    std::optional<std::string> station, time, frequency;
    for (int i = 0; i < kHeaderLines; ++i) {
        if (lines.Next(line) != LineReader::Status::Line) break;
        const std::string_view text = line;
        const std::string key = LabelKey(text.substr(0, std::min(text.size(), kLabelColumns)));
        const std::string value(
            Trim(text.size() > kLabelColumns ? text.substr(kLabelColumns) : ""));
        if (key.starts_with("stationcode")) station = value;
        if (key.starts_with("recordtime")) time = value;
        if (key.starts_with("samplingfreq")) frequency = value;
    }
    if (!station || !time || !frequency) return std::nullopt;
    return NetworkRecordHeader{*station, *time, *frequency};
}

std::optional<SiblingNames> NetworkSiblingNames(std::string_view fileName) {
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return std::nullopt;
    const std::string_view stem = fileName.substr(0, dot + 1);
    const std::string_view extension = fileName.substr(dot + 1);
    if (extension.size() < 2 || extension.size() > 3) return std::nullopt;
    // The sensor's digit of KiK-net (1 borehole, 2 surface); none for K-NET.
    const std::string_view sensor = extension.substr(2);
    if (sensor != "" && sensor != "1" && sensor != "2") return std::nullopt;
    const std::string letters{Upper(extension[0]), Upper(extension[1])};
    SiblingNames out;
    bool known = false;
    for (const RecordComponent direction : kDirections) {
        if (letters == ComponentName(direction)) {
            out.direction = direction;
            known = true;
        }
    }
    if (!known) return std::nullopt;
    // Written in small letters when the given name is ("ns"); otherwise in capitals, the
    // network's own spelling (a mixed "Ns" too).
    const bool lowerCase = extension[0] >= 'a' && extension[1] >= 'a';
    for (const RecordComponent direction : kDirections) {
        std::string name(stem);
        for (const char c : ComponentName(direction)) name += lowerCase ? Lower(c) : c;
        name += sensor;
        out.names[DirectionIndex(direction)] = std::move(name);
    }
    return out;
}

std::string ComponentProblemText(const ComponentProblem& p) {
    const std::string& file = p.path;
    const std::string which = DirectionWords(p);
    // Formats are named as the readers name them; "地震波ファイル" (no known format) is ours.
    const auto format = [](const std::string& name) { return Tr(name); };
    const auto seconds = [&p](const std::string& step) {
        return p.label == kStepLabel ? Tr("{1} 秒", step) : step;
    };
    switch (p.kind) {
        case Kind::SingleComponent:
            return Tr("地震波ファイル「{1}」は 1 成分だけの記録です。", file);
        case Kind::NameNotRecognised:
            return Tr(
                "ファイル名「{1}」が K-NET・KiK-net の名前（末尾 .NS・.EW・.UD、"
                ".NS1～.UD2）ではないため、ほかの成分のファイルを探せません。",
                file);
        case Kind::SiblingMissing:
            return Tr("{1}ファイル「{2}」が見つかりません。", which, file);
        case Kind::SiblingAmbiguous:
            return Tr("{1}ファイル「{2}」が、大文字・小文字だけが違う名前で複数あります（{3}）。",
                      which, file, p.found);
        case Kind::Unreadable: {
            std::string text = Tr("{1}ファイル「{2}」を読み込めません。", which, file);
            if (p.readError) text += "\n" + WaveErrorMessage(*p.readError, p.path).prompt;
            return text;
        }
        case Kind::OtherFormat:
            return Tr("{1}ファイル「{2}」は {3} の記録で、選んだファイル（{4}）と形式が違います。",
                      which, file, format(p.found), format(p.expected));
        case Kind::NotSameRecord:
            return Tr("{1}ファイル「{2}」は別の記録です（{3}：{4}、選んだファイルは {5}）。", which,
                      file, p.label, p.found, p.expected);
        case Kind::RateDiffers:
            return Tr(
                "{1}ファイル「{2}」はサンプリング周波数（時間刻み）が違います（{3}、"
                "選んだファイルは {4}）。",
                which, file, seconds(p.found), seconds(p.expected));
        case Kind::LengthDiffers:
            return Tr("{1}ファイル「{2}」はデータ数が違います（{3}、選んだファイルは {4}）。",
                      which, file, Tr("{1} 点", p.found), Tr("{1} 点", p.expected));
        case Kind::ColumnMissing:
            return Tr("地震波ファイル「{1}」には {2} 成分の列がありません。", file,
                      p.direction ? ComponentName(*p.direction) : std::string_view());
        case Kind::NotNamed:
            return Tr("{1}ファイルが選ばれていません。", which);
    }
    return "";
}

}  // namespace kestrel
