// The main window's file commands: the two choosers, the wave file and the save.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <iterator>

#include "files/ResultFiles.h"
#include "files/WaveChoice.h"
#include "files/WaveFile.h"
#include "runtime/Conversions.h"
#include "ui/ChooserWindows.h"
#include "ui/FormSlot.h"
#include "ui/MainWindow.h"

namespace kestrel {

struct FileParts {
    explicit FileParts(MainWindow& w);

    MainWindow& window;
    FormSlot<WaveSelectWindow> wave;
    FormSlot<SaveSelectWindow> save;

private:
    WaveSelectWindow* CreateWave();
    SaveSelectWindow* CreateSave();
};

FileParts::FileParts(MainWindow& w)
    : window(w), wave([this] { return CreateWave(); }), save([this] { return CreateSave(); }) {}

WaveSelectWindow* FileParts::CreateWave() {
    auto* chooser = new WaveSelectWindow(window.Messages());
    QObject::connect(chooser->cmdOK, &QPushButton::clicked, &window, &MainWindow::ApplyWaveFile);
    chooser->onCloseBox = [this] {
        wave.Unload();
        window.show();
    };
    return chooser;
}

SaveSelectWindow* FileParts::CreateSave() {
    auto* chooser = new SaveSelectWindow(window.Messages());
    // "選択する(&Y)": the folder and name become the save destination.
    QObject::connect(chooser->Command1, &QPushButton::clicked, &window, [this] {
        save.Get().hide();
        window.show();
    });
    // "選択しない(&N)", and the close box: the destination is dropped with the window.
    auto discard = [this] {
        save.Unload();
        window.show();
    };
    QObject::connect(chooser->Command2, &QPushButton::clicked, &window, discard);
    chooser->onCloseBox = discard;
    return chooser;
}

void FilePartsDeleter::operator()(FileParts* parts) const {
    delete parts;
}

FileParts* CreateFileParts(MainWindow& window) {
    return new FileParts(window);
}

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

void MainWindow::cmdWave_Click() {
    Files().wave.Get().show();
    hide();
}

void MainWindow::cmdSelect_Click() {
    Files().save.Get().show();
    hide();
}

void MainWindow::ApplyWaveFile() {
    WaveSelectWindow& chooser = Files().wave.Get();
    const std::string path = ChosenPath(chooser);
    if (chooser.txtFileName->text().isEmpty()) {
        Messages().ShowMessage(QStringLiteral("地震波ファイルが選択されていません。"),
                               kOkInformation, QStringLiteral("解析不能"));
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
        const int picked = Messages().AskChoice(Q(question.prompt), Q(question.title), choices);
        if (picked < 0 || picked >= static_cast<int>(std::size(kRecordComponents))) return;
        component = kRecordComponents[picked];
        read = ReadWaveFile(path, component);
    }
    if (!read.ok()) {
        const FileMessage m = WaveErrorMessage(*read.error, ShownPath(chooser));
        Messages().ShowMessage(Q(m.prompt), kOkExclamation, Q(m.title));
        return;
    }
    const std::optional<WaveTimeTexts> times = WaveTimeTextsFor(read.record);
    if (!times) {
        const FileMessage m = DurationErrorMessage(ShownPath(chooser));
        Messages().ShowMessage(Q(m.prompt), kOkExclamation, Q(m.title));
        return;
    }
    const QString durationText = Q(times->analysisTime);
    txtTs->setText(Q(times->timeStep));
    txtTl->setText(durationText);
    chooser.WaveComponent = component;
    chooser.hide();
    show();
    Messages().ShowMessage(QStringLiteral("分割時間を変更しないで下さい。"), kOkInformation,
                           QStringLiteral("分割時間変更禁止"));
    Messages().ShowMessage(
        QStringLiteral("解析時間を ") + durationText + QStringLiteral(" 秒に設定しました。"),
        kOkInformation, QStringLiteral("解析時間の設定"));
    if (read.info) {
        const FileMessage m = RecordInfoMessage(*read.info);
        Messages().ShowMessage(Q(m.prompt), kOkInformation, Q(m.title));
    }
}

std::optional<WaveRecord> MainWindow::LoadWaveRecord(WaveSource* source) {
    WaveSelectWindow& chooser = Files().wave.Get();  // created hidden if never opened
    if (chooser.txtFileName->text().isEmpty()) {
        Messages().ShowMessage(QStringLiteral("地震波ファイルが選択されていません。"),
                               kOkInformation, QStringLiteral("解析不能"));
        return std::nullopt;
    }
    const std::string path = ChosenPath(chooser);
    // The component picked when the file was confirmed. A file that has become a JMA CSV
    // record since then has none, and the reader says so.
    WaveReadResult read = ReadWaveFile(path, chooser.WaveComponent);
    if (!read.ok()) {
        const FileMessage m = WaveErrorMessage(*read.error, ShownPath(chooser));
        Messages().ShowMessage(Q(m.prompt), kOkExclamation, Q(m.title));
        return std::nullopt;
    }
    if (source) *source = WaveSource{path, chooser.WaveComponent};
    return std::move(read.record);
}

void MainWindow::cmdSave_Click() {
    // Only the results of a run that completed are saved: a failed run leaves none, and
    // before the first run there are none.
    if (!heldRun_) {
        Messages().ShowMessage(QStringLiteral("保存できる解析結果がありません。\n"
                                              "「解析開始」で解析を終えてから保存して下さい。"),
                               kOkExclamation, QStringLiteral("データの保存"));
        return;
    }
    SaveSelectWindow& chooser = Files().save.Get();  // created hidden if never opened
    const QString baseName = chooser.txtFileName->text();
    if (baseName.isEmpty()) {
        Messages().ShowMessage(QStringLiteral("保存先が選択されていません"), kOkInformation,
                               QStringLiteral("データの保存"));
        return;
    }
    // The model boxes and the displacement wave's option and period as they stand now, the
    // natural period as the label shows it.
    const ParameterValues values =
        ParameterValuesFromTexts(CurrentTexts().model, ShownNaturalPeriod());
    std::optional<double> displacementPeriod;
    if (optOrgCycleDis->isChecked()) {
        displacementPeriod = LeadingNumber(txtOrgCycleDis->text().toStdString());
    }
    const SaveOutcome outcome =
        SaveResults(chooser.Dir1->PathBytes().toStdString(), baseName.toStdString(), values,
                    heldRun_->response, displacementPeriod);
    if (!outcome.ok()) {
        // The destination is kept so that the user can put things right and save again.
        if (outcome.error->fileInUse()) {
            Messages().ShowMessage(
                QStringLiteral(
                    "このファイルは別のソフトで開いています。ファイルを閉じてください。"),
                kOkExclamation, QStringLiteral("ファイルの起動状態"));
        } else {
            const FileMessage m = SaveErrorMessage(outcome);
            Messages().ShowMessage(Q(m.prompt), kOkExclamation, Q(m.title));
        }
        return;
    }
    Files().save.Unload();
    Messages().ShowMessage(QStringLiteral("保存終了しました。"), kOkInformation,
                           QStringLiteral("データの保存"));
    txtK->setFocus();
}

}  // namespace kestrel
