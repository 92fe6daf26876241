#include "app/CommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTranslator>
#include <cstdio>
#include <cstring>

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

void SetUpParser(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral(
        "Kestrel(線形加速度法): 1 層建物の剛性・質量・減衰定数と外乱(初期変位、初期速度、"
        "正弦波の地動加速度・地動変位、地震波)から\n"
        "振動応答を線形加速度法で計算し、動画で再生して、結果を Shift_JIS の CSV "
        "ファイルに保存します。\n"
        "引数なしで起動するとメインウィンドウが開きます。\n"
        "同じ計算をコマンドラインで行うには kestrel-batch を使います。"));
    parser.addOption(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("この説明を表示して終了します。")));
    parser.addOption(QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                                        QStringLiteral("バージョンを表示して終了します。")));
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
    Print(stderr, QStringLiteral("kestrel: 標準出力に書き込めませんでした。\n"));
    return 1;
}

}  // namespace

std::optional<int> AnswerInformationRequests(int& argc, char* argv[]) {
    if (argc <= 1) return std::nullopt;
    QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Kestrel"));
    QCoreApplication::setApplicationVersion(
        QString::fromUtf8(kVersion.data(), static_cast<qsizetype>(kVersion.size())));
    ParserTexts texts;
    QCoreApplication::installTranslator(&texts);

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
        refused = QStringLiteral("不明なオプションです: %1%2")
                      .arg(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), name);
    } else if (!parser.positionalArguments().isEmpty()) {
        refused =
            QStringLiteral("引数は指定できません: %1").arg(parser.positionalArguments().first());
    } else {
        return std::nullopt;
    }
    Print(stderr,
          QStringLiteral("kestrel: %1\n詳しくは kestrel --help を見てください。\n").arg(refused));
    return kUsageError;
}

}  // namespace kestrel
