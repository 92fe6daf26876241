#include "ui/FileChoosers.h"

#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QWidget>
#include <iterator>

#include "files/WaveChoice.h"
#include "files/WaveFile.h"
#include "ui/ChooserWindows.h"

namespace kestrel {

namespace {

// The full path of the chooser's file: its open folder and the name in its box, as the
// bytes to open it by, and as shown to the user.
std::string ChosenPath(const ChooserWindow& chooser) {
    return chooser.ChosenPathBytes().toStdString();
}
std::string ShownPath(const ChooserWindow& chooser) {
    return chooser.ShownChosenPath().toStdString();
}

QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

}  // namespace

FileChoosers::FileChoosers(QWidget& home, MessageService& messages)
    : QObject(&home),
      home_(home),
      messages_(messages),
      wave_([this] { return CreateWave(); }),
      save_([this] { return CreateSave(); }) {
    setObjectName(QStringLiteral("choosers"));
}

FileChoosers::~FileChoosers() = default;

WaveSelectWindow* FileChoosers::CreateWave() {
    auto* chooser = new WaveSelectWindow(messages_);
    connect(chooser->cmdOK, &QPushButton::clicked, this, &FileChoosers::ConfirmWaveFile);
    chooser->onCloseBox = [this] {
        wave_.Unload();
        home_.show();
    };
    return chooser;
}

SaveSelectWindow* FileChoosers::CreateSave() {
    auto* chooser = new SaveSelectWindow(messages_);
    // "選択する(&Y)": the folder and name become the save destination.
    connect(chooser->Command1, &QPushButton::clicked, this, [this] {
        save_.Get().hide();
        home_.show();
    });
    // "選択しない(&N)", and the close box: the destination is dropped with the window.
    auto discard = [this] {
        save_.Unload();
        home_.show();
    };
    connect(chooser->Command2, &QPushButton::clicked, this, discard);
    chooser->onCloseBox = discard;
    return chooser;
}

void FileChoosers::ShowWaveChooser() {
    wave_.Get().show();
    home_.hide();
}

void FileChoosers::ShowSaveChooser() {
    save_.Get().show();
    home_.hide();
}

void FileChoosers::ConfirmWaveFile() {
    WaveSelectWindow& chooser = wave_.Get();
    const std::string path = ChosenPath(chooser);
    if (chooser.txtFileName->text().isEmpty()) {
        messages_.ShowMessage(tr("地震波ファイルが選択されていません。"), kOkInformation,
                              tr("解析不能"));
        return;
    }
    std::optional<RecordComponent> component;
    WaveReadResult read = ReadWaveFile(path);
    if (read.needsComponent()) {
        // A JMA CSV record holds three directions: the user picks the one to analyse.
        QStringList choices;
        for (const RecordComponent c : kRecordComponents)
            choices << Q(std::string(ComponentName(c)));
        const FileMessage question = ComponentQuestion(chooser.txtFileName->text().toStdString());
        const int picked = messages_.AskChoice(Q(question.prompt), Q(question.title), choices);
        if (picked < 0 || picked >= static_cast<int>(std::size(kRecordComponents))) return;
        component = kRecordComponents[picked];
        read = ReadWaveFile(path, component);
    }
    if (!read.ok()) {
        const FileMessage m = WaveErrorMessage(*read.error, ShownPath(chooser));
        messages_.ShowMessage(Q(m.prompt), kOkExclamation, Q(m.title));
        return;
    }
    const std::optional<WaveTimeTexts> times = WaveTimeTextsFor(read.record);
    if (!times) {
        const FileMessage m = DurationErrorMessage(ShownPath(chooser));
        messages_.ShowMessage(Q(m.prompt), kOkExclamation, Q(m.title));
        return;
    }
    const QString durationText = Q(times->analysisTime);
    emit recordConfirmed(Q(times->timeStep), durationText);
    chooser.WaveComponent = component;
    chooser.hide();
    home_.show();
    messages_.ShowMessage(tr("分割時間を変更しないで下さい。"), kOkInformation,
                          tr("分割時間変更禁止"));
    messages_.ShowMessage(tr("解析時間を %1 秒に設定しました。").arg(durationText), kOkInformation,
                          tr("解析時間の設定"));
    if (read.info) {
        const FileMessage m = RecordInfoMessage(*read.info);
        messages_.ShowMessage(Q(m.prompt), kOkInformation, Q(m.title));
    }
}

std::optional<WaveRecord> FileChoosers::LoadWaveRecord(WaveSource* source) {
    WaveSelectWindow& chooser = wave_.Get();  // created hidden if never opened
    if (chooser.txtFileName->text().isEmpty()) {
        messages_.ShowMessage(tr("地震波ファイルが選択されていません。"), kOkInformation,
                              tr("解析不能"));
        return std::nullopt;
    }
    const std::string path = ChosenPath(chooser);
    // The component picked when the file was confirmed. A file that has become a JMA CSV
    // record since then has none, and the reader says so.
    WaveReadResult read = ReadWaveFile(path, chooser.WaveComponent);
    if (!read.ok()) {
        const FileMessage m = WaveErrorMessage(*read.error, ShownPath(chooser));
        messages_.ShowMessage(Q(m.prompt), kOkExclamation, Q(m.title));
        return std::nullopt;
    }
    if (source) *source = WaveSource{path, chooser.WaveComponent};
    return std::move(read.record);
}

FileChoosers::SaveDestination FileChoosers::Destination() {
    SaveSelectWindow& chooser = save_.Get();  // created hidden if never opened
    return {chooser.Dir1->PathBytes().toStdString(), chooser.txtFileName->text()};
}

void FileChoosers::UseUpDestination() {
    save_.Unload();
}

}  // namespace kestrel
