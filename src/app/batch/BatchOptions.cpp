#include "app/batch/BatchOptions.h"

#include <algorithm>

#include "runtime/Catalogue.h"
#include "runtime/Version.h"

namespace kestrel::batch {

namespace {

const RunOption kRunOptions[] = {
    {"stiffness", TrNoop("剛性(kN/cm)"),
     [](RunTexts& t) -> std::string& { return t.model.stiffness; }},
    {"mass", TrNoop("質量(kg)"), [](RunTexts& t) -> std::string& { return t.model.mass; }},
    {"damping", TrNoop("減衰定数(%)"), [](RunTexts& t) -> std::string& { return t.model.damping; }},
    {"time-step", TrNoop("分割時間(s)"), [](RunTexts& t) -> std::string& { return t.timeStep; }},
    {"duration", TrNoop("解析時間(s)"), [](RunTexts& t) -> std::string& { return t.analysisTime; }},
    {"initial-displacement", TrNoop("初期変位(cm)"),
     [](RunTexts& t) -> std::string& { return t.firstDisplacement; }},
    {"initial-velocity", TrNoop("初期速度(cm/s)"),
     [](RunTexts& t) -> std::string& { return t.firstVelocity; }},
    {"forcing-period", TrNoop("定常波(加速度)の周期(s)"),
     [](RunTexts& t) -> std::string& { return t.accelerationPeriod; }},
    {"forcing-amplitude", TrNoop("定常波最大値(cm/s2)"),
     [](RunTexts& t) -> std::string& { return t.accelerationMax; }},
    {"displacement-period", TrNoop("定常波(変位)の周期(s)"),
     [](RunTexts& t) -> std::string& { return t.displacementPeriod; }},
    {"displacement-amplitude", TrNoop("定常波最大値(cm)"),
     [](RunTexts& t) -> std::string& { return t.displacementMax; }},
};

const CaseName kCaseNames[] = {
    {"initial-displacement", ExcitationCase::InitialDisplacement},
    {"initial-velocity", ExcitationCase::InitialVelocity},
    {"steady-acceleration", ExcitationCase::SteadyAcceleration},
    {"steady-displacement", ExcitationCase::SteadyDisplacement},
    {"earthquake", ExcitationCase::Earthquake},
};

constexpr std::string_view kRunExtras[] = {"case", "wave", "component"};
constexpr std::string_view kSpectrumOptions[] = {"damping", "periods", "component"};
constexpr std::string_view kIndicesOptions[] = {"low-cut"};

struct CommandInfo {
    Command command;
    std::string_view name;
    std::size_t operands;  // the least number of operands
    bool moreOperands;     // any number beyond that
    std::string_view synopsis;
};

constexpr CommandInfo kCommands[] = {
    {Command::Response, "response", 1, false, TrNoop("kestrel-batch response [オプション] BASE")},
    {Command::Spectrum, "spectrum", 2, false,
     TrNoop("kestrel-batch spectrum [オプション] WAVEFILE OUT.csv")},
    {Command::Accuracy, "accuracy", 1, false,
     TrNoop("kestrel-batch accuracy [オプション] OUT.csv")},
    {Command::Indices, "indices", 2, true, "kestrel-batch indices [--low-cut F] RECORD... OUT.csv"},
    {Command::Table, "table", 2, false, "kestrel-batch table PARAMS.csv OUTDIR"},
};

const CommandInfo* FindCommand(std::string_view name) {
    for (const CommandInfo& c : kCommands) {
        if (c.name == name) return &c;
    }
    return nullptr;
}

bool IsRunOption(std::string_view name) {
    return std::any_of(std::begin(kRunOptions), std::end(kRunOptions),
                       [&](const RunOption& o) { return o.name == name; }) ||
           std::find(std::begin(kRunExtras), std::end(kRunExtras), name) != std::end(kRunExtras);
}

bool IsKnownOption(std::string_view name) {
    return IsRunOption(name) ||
           std::find(std::begin(kSpectrumOptions), std::end(kSpectrumOptions), name) !=
               std::end(kSpectrumOptions) ||
           std::find(std::begin(kIndicesOptions), std::end(kIndicesOptions), name) !=
               std::end(kIndicesOptions);
}

ParseResult Error(std::string message) {
    return ParseResult{std::nullopt, std::move(message)};
}

}  // namespace

std::span<const RunOption> RunOptions() {
    return kRunOptions;
}

std::span<const CaseName> CaseNames() {
    return kCaseNames;
}

std::optional<ExcitationCase> CaseByName(std::string_view name) {
    for (const CaseName& c : kCaseNames) {
        if (c.name == name) return c.excitation;
    }
    return std::nullopt;
}

bool TakesOption(Command command, std::string_view name) {
    switch (command) {
        case Command::Response:
        case Command::Accuracy:
            return IsRunOption(name);
        case Command::Spectrum:
            return std::find(std::begin(kSpectrumOptions), std::end(kSpectrumOptions), name) !=
                   std::end(kSpectrumOptions);
        case Command::Indices:
            return std::find(std::begin(kIndicesOptions), std::end(kIndicesOptions), name) !=
                   std::end(kIndicesOptions);
        case Command::Table:
        case Command::Help:
        case Command::Version:
            break;
    }
    return false;
}

std::string_view CommandName(Command command) {
    for (const CommandInfo& c : kCommands) {
        if (c.command == command) return c.name;
    }
    return command == Command::Version ? "--version" : "--help";
}

ParseResult ParseArguments(std::span<const std::string> args) {
    if (args.empty()) return Error(Tr("コマンドがありません。"));
    Invocation invocation;
    const std::string_view first = args[0];
    if (first == "--help" || first == "-h") return ParseResult{invocation, {}};
    if (first == "--version") {
        invocation.command = Command::Version;
        return ParseResult{invocation, {}};
    }
    const CommandInfo* command = FindCommand(first);
    if (!command) {
        if (first.starts_with("-")) return Error(Tr("不明なオプション「{1}」です。", first));
        return Error(Tr("不明なコマンド「{1}」です。", first));
    }
    invocation.command = command->command;

    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (optionsEnded || arg == "-" || !arg.starts_with("-")) {
            invocation.operands.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") return ParseResult{Invocation{}, {}};
        if (!arg.starts_with("--")) return Error(Tr("不明なオプション「{1}」です。", arg));
        const std::size_t equals = arg.find('=');
        const std::string name(
            arg.substr(2, equals == std::string_view::npos ? arg.npos : equals - 2));
        const std::string option = "--" + name;
        if (!IsKnownOption(name)) return Error(Tr("不明なオプション「{1}」です。", option));
        if (!TakesOption(command->command, name)) {
            return Error(Tr("オプション「{1}」は {2} では使えません。", option, command->name));
        }
        std::string value;
        if (equals != std::string_view::npos) {
            value = arg.substr(equals + 1);
        } else {
            if (i + 1 >= args.size())
                return Error(Tr("オプション「{1}」に値がありません。", option));
            const std::string_view next = args[i + 1];
            if (next.starts_with("-") && next != "-") {
                return Error(
                    Tr("オプション「{1}」に値がありません。「-」で始まる値は {1}={2} "
                       "のように書いてください。",
                       option, next));
            }
            value = next;
            ++i;
        }
        // An empty value would read as 0 or as the default; neither is what was meant.
        if (value.empty()) return Error(Tr("オプション「{1}」に値がありません。", option));
        invocation.options[name] = std::move(value);
    }
    const std::size_t given = invocation.operands.size();
    if (given < command->operands || (given > command->operands && !command->moreOperands)) {
        return Error(Tr("引数の数が違います。使い方：{1}", Tr(command->synopsis)));
    }
    return ParseResult{std::move(invocation), {}};
}

std::string HelpText() {
    std::string text =
        "kestrel-batch " + std::string(kVersion) + "\n" +
        Tr("1 層の建物の応答を線形加速度法で計算し、画面の「保存(&S)」と同じファイルを書きます。") +
        "\n\n" + Tr("使い方:") + "\n";
    constexpr std::string_view kCommandTexts[] = {
        TrNoop("BASE(建物パラメータ).csv と BASE(時刻暦応答).csv を書きます。"),
        TrNoop("地震波ファイルの応答スペクトルを OUT.csv に書きます。"),
        TrNoop("線形加速度法・厳密解・平均加速度法の応答変位を OUT.csv に書きます。"),
        TrNoop("記録ごとに計測震度・最大加速度・最大速度・最大変位・SI 値・アリアス強度・\n"
               "      有効継続時間・CAV を OUT.csv に書きます（成分ごとの行と「合成」の行）。"),
        TrNoop("PARAMS.csv の 1 行ごとに解析して OUTDIR に結果のファイルを書き、\n"
               "      OUTDIR/summary.csv に一覧を書きます。"),
    };
    for (std::size_t i = 0; i < std::size(kCommands); ++i) {
        text += "  " + Tr(kCommands[i].synopsis) + "\n      " + Tr(kCommandTexts[i]) + "\n";
    }
    text +=
        "  kestrel-batch --help | --version\n      " + Tr("この説明、または版を表示します。") +
        "\n\n" +
        Tr("どのコマンドにも使えるオプション:\n"
           "  --lang ja|en                メッセージの言語。なければ環境変数 LANGUAGE・LC_ALL・\n"
           "                              LC_MESSAGES・LANG で決まります（英語か日本語、既定は\n"
           "                              日本語）。書くファイルは言語によらず同じです。") +
        "\n\n" + Tr("建物と入力のオプション (response, accuracy。table では見出しの名前):") + "\n";
    RunTexts defaults;
    for (const RunOption& o : kRunOptions) {
        std::string line = "  --" + std::string(o.name);
        line.resize(std::max<std::size_t>(line.size() + 1, 30), ' ');
        text += line + Tr("{1}  既定 {2}", Tr(o.meaning), o.field(defaults)) + "\n";
    }
    text += "  --case CASE                 " +
            Tr("外力の種類  既定 steady-acceleration（--wave があれば earthquake）") + "\n";
    constexpr std::string_view kCaseTexts[] = {TrNoop("初期変位"), TrNoop("初期速度"),
                                               TrNoop("定常波(加速度)"), TrNoop("定常波(変位)"),
                                               TrNoop("地震波")};
    for (std::size_t i = 0; i < std::size(kCaseNames); ++i) {
        std::string line = "      " + std::string(kCaseNames[i].name);
        line.resize(30, ' ');
        text += line + Tr(kCaseTexts[i]) + "\n";
    }
    text +=
        Tr("  --wave FILE                 地震波ファイル。--time-step と --duration がなければ、\n"
           "                              両方を記録から決めます（地震波選択と同じ）。\n"
           "  --component NS|EW|UD        気象庁の CSV 記録で解析に使う成分（その記録では必須）\n");
    text += "\n" + Tr("spectrum のオプション:") + "\n" +
            Tr("  --damping LIST              減衰定数(%) のリスト  既定 {1}\n"
               "  --periods MIN:MAX:COUNT     周期(s) の範囲と点数（対数で等間隔）  既定 {2}\n"
               "  --component NS|EW|UD        気象庁の CSV 記録で使う成分\n",
               kDefaultSpectrumDamping, kDefaultSpectrumPeriods);
    text +=
        "\n" + Tr("indices のオプション:") + "\n" +
        Tr("  --low-cut F                 速度・変位を求める前の低域遮断周波数(Hz)  既定 {1}\n"
           "  気象庁の CSV 記録は 3 成分を使います。K-NET・KiK-net の記録は、同じフォルダーにある\n"
           "  同じ観測点・時刻のほかの成分のファイル（.NS .EW .UD、.NS1～.UD1、.NS2～.UD2）も\n"
           "  読みます。そのファイルを RECORD に並べても、1 つの記録として 1 回だけ計算します。\n"
           "  計算できない記録は理由を書いた行になり（終了状態 1）、ほかの記録は計算します。\n",
           kDefaultLowCutText);
    text +=
        "\n" + Tr("table の PARAMS.csv (UTF-8 または CP932):") + "\n" +
        Tr("  1 行目は見出しで、base（基本名）と上のオプションの名前（stiffness, mass, ..., case,\n"
           "  wave, component）を並べます。2 行目から 1 行が 1 回の解析です。空欄は既定値です。\n"
           "  wave の相対パスは PARAMS.csv のフォルダーから数えます。summary.csv (CP932) には\n"
           "  行ごとに基本名・建物固有周期・4 つの最大値、または失敗の理由を書きます。\n");
    text +=
        "\n" + Tr("値は --name value または --name=value で指定します。「-」で始まる値は\n"
                  "--name=-3 の形で書きます。数値は画面の入力欄と同じように先頭の数値を読みます\n"
                  "（\"12abc\" は 12）。\n");
    text += "\n" + Tr("終了状態: 0 成功、1 解析またはファイルの失敗、2 使い方の誤り。\n"
                      "失敗したときは標準エラーに理由を書き、ファイルを残しません。\n");
    return text;
}

LanguageArguments TakeLanguageOption(std::span<const std::string> args) {
    LanguageArguments taken;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        std::optional<std::string_view> value;
        if (optionsEnded || !(arg == "--lang" || arg.starts_with("--lang="))) {
            optionsEnded = optionsEnded || arg == "--";
            taken.rest.emplace_back(arg);
            continue;
        }
        if (arg.starts_with("--lang=")) {
            value = arg.substr(7);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        }
        if (!value || value->empty()) {
            taken.error = Tr("オプション「{1}」に値がありません。", "--lang");
        } else if (const std::optional<Language> language = LanguageOption(*value)) {
            taken.language = language;
            taken.error.clear();
        } else {
            taken.error =
                Tr("オプション「--lang」の値「{1}」は使えません。ja か en を指定してください。",
                   *value);
        }
    }
    return taken;
}

}  // namespace kestrel::batch
