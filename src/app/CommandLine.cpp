#include "app/CommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTranslator>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "runtime/Catalogue.h"
#include "runtime/Version.h"

namespace kestrel {

namespace {

constexpr int kUsageError = 2;

// Qt's parser writes its headings in English; these are the program's words for them.
class ParserTexts : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char* /*disambiguation*/,
                      int /*n*/) const override {
        if (std::strcmp(context, "QCommandLineParser") != 0) return {};
        struct Text {
            const char* english;
            const char* japanese;
        };
        static constexpr Text kTexts[] = {
            {"Usage: %1", "使い方: %1"},
            {"Options:", "オプション:"},
            {"Arguments:", "引数:"},
            {"[options]", "[オプション]"},
        };
        for (const Text& text : kTexts) {
            if (std::strcmp(source, text.english) == 0) return QString::fromUtf8(text.japanese);
        }
        return {};
    }
};

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

void SetUpParser(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        Text(Tr("Kestrel(線形加速度法): 1 層建物の剛性・質量・減衰定数と外乱(初期変位、初期速度、"
                "正弦波の地動加速度・地動変位、地震波)から\n"
                "振動応答を線形加速度法で計算し、動画で再生して、結果を Shift_JIS の CSV "
                "ファイルに保存します。\n"
                "引数なしで起動するとメインウィンドウが開きます。\n"
                "同じ計算をコマンドラインで行うには kestrel-batch を使います。\n"
                "言語は --lang、なければ環境変数 LANGUAGE・LC_ALL・LC_MESSAGES・LANG で"
                "決まります（英語か日本語、既定は日本語）。\n"
                "保存するファイルは言語によらず同じです。")));
    parser.addOption(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                                        Text(Tr("この説明を表示して終了します。"))));
    parser.addOption(QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                                        Text(Tr("バージョンを表示して終了します。"))));
    parser.addOption(QCommandLineOption(QStringLiteral("lang"),
                                        Text(Tr("画面とメッセージの言語（ja または en）。")),
                                        QStringLiteral("ja|en")));
}

// Sets the language the --lang options choose (the last one counts; none after "--").
// Returns the exit status of a usage error when a value is missing or names neither
// language.
std::optional<int> ApplyLanguageOption(int argc, char* argv[]) {
    std::optional<std::string_view> value;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") break;
        if (arg.starts_with("--lang=")) {
            value = arg.substr(7);
        } else if (arg == "--lang") {
            value = i + 1 < argc ? std::string_view(argv[++i]) : std::string_view();
        }
    }
    if (!value) return std::nullopt;
    if (const std::optional<Language> language = LanguageOption(*value)) {
        SetProgramLanguage(*language);
        return std::nullopt;
    }
    const std::string refused =
        value->empty()
            ? Tr("オプション「{1}」に値がありません。", "--lang")
            : Tr("オプション「--lang」の値「{1}」は使えません。ja か en を指定してください。",
                 *value);
    std::fputs(("kestrel: " + refused + "\n").c_str(), stderr);
    return kUsageError;
}

// Whether the text reached the stream (written and flushed).
bool Print(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    const auto size = static_cast<std::size_t>(bytes.size());
    return std::fwrite(bytes.constData(), 1, size, stream) == size && std::fflush(stream) == 0;
}

// Prints an answer on standard output. Output that does not arrive (a full disk, a closed
// pipe) is reported and fails the program.
int Answer(const QString& text) {
    if (Print(stdout, text)) return 0;
    Print(stderr, Text("kestrel: " + Tr("標準出力に書き込めませんでした。") + "\n"));
    return 1;
}

}  // namespace

std::optional<int> AnswerInformationRequests(int& argc, char* argv[]) {
    if (argc <= 1) return std::nullopt;
    if (const auto status = ApplyLanguageOption(argc, argv)) return status;
    QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Kestrel"));
    QCoreApplication::setApplicationVersion(
        QString::fromUtf8(kVersion.data(), static_cast<qsizetype>(kVersion.size())));
    // In English the parser's own headings are already the program's words.
    ParserTexts texts;
    if (ProgramLanguage() == Language::Japanese) QCoreApplication::installTranslator(&texts);

    QCommandLineParser parser;
    SetUpParser(parser);
    // Unknown arguments may still be QApplication's own; they are judged once it has run.
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(QStringLiteral("help"))) return Answer(parser.helpText());
    if (parser.isSet(QStringLiteral("version"))) {
        return Answer(QStringLiteral("Kestrel %1\n").arg(QCoreApplication::applicationVersion()));
    }
    return std::nullopt;
}

std::optional<int> RefuseUnknownArguments(const QStringList& arguments) {
    QCommandLineParser parser;
    SetUpParser(parser);
    parser.parse(arguments);
    QString refused;
    if (const QStringList unknown = parser.unknownOptionNames(); !unknown.isEmpty()) {
        const QString& name = unknown.first();
        refused = Text(
            Tr("不明なオプションです: {1}", (name.size() == 1 ? "-" : "--") + name.toStdString()));
    } else if (!parser.positionalArguments().isEmpty()) {
        refused = Text(
            Tr("引数は指定できません: {1}", parser.positionalArguments().first().toStdString()));
    } else {
        return std::nullopt;
    }
    Print(stderr, QStringLiteral("kestrel: %1\n%2\n")
                      .arg(refused, Text(Tr("詳しくは kestrel --help を見てください。"))));
    return kUsageError;
}

}  // namespace kestrel
