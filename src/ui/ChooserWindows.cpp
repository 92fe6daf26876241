#include "ui/ChooserWindows.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <exception>

#include "files/ResultFiles.h"
#include "ui/FormLayout.h"

namespace kestrel {

ChooserWindow::ChooserWindow(MessageService& messages, const QString& caption, int widthTwips,
                             int heightTwips)
    : messages_(messages) {
    SetUpFixedDialog(this, caption, widthTwips, heightTwips);

    Drive1 = Place(new DriveList(this), 120, 480, 2895, 300);
    Dir1 = Place(new FolderList(this), 120, 840, 2895, 2820);
    File1 = Place(new FileList(this), 3120, 480, 2895, 3150);
    txtFileName = Place(new QLineEdit(this), 3120, 120, 2895, 270);
    lblFileName =
        Place(MakeLabel(this, tr("ファイル名(&N)："), Qt::AlignRight), 120, 120, 2895, 255);
    lblFileName->setBuddy(txtFileName);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Dir1->setObjectName(QStringLiteral("Dir1"));
    File1->setObjectName(QStringLiteral("File1"));
    txtFileName->setObjectName(QStringLiteral("txtFileName"));
    lblFileName->setObjectName(QStringLiteral("lblFileName"));

    connect(Drive1, &DriveList::driveChanged, this, &ChooserWindow::Drive1_Change);
    connect(Dir1, &FolderList::pathChanged, this, &ChooserWindow::Dir1_Change);
    connect(File1, &FileList::fileClicked, this, &ChooserWindow::File1_Click);
    connect(Dir1, &FolderList::openFailed, this, [this](const QString& path) {
        messages_.ShowMessage(tr("フォルダー「%1」を開けません。").arg(path), kOkExclamation,
                              tr("フォルダーを開けません"));
    });

    // A new chooser opens at the process's current folder and its drive; if that folder
    // has gone or may not be read, at the home folder.
    if (!Dir1->SetPathBytes(CurrentFolderBytes())) Dir1->SetPath(QDir::homePath());
    Drive1->ShowDriveOf(Dir1->Path());
}

void ChooserWindow::Drive1_Change() {
    // The drive of the open folder picked again: the folder stays open.
    if (Drive1->currentIndex() >= 0 &&
        Drive1->currentIndex() == Drive1->DriveIndexOf(Dir1->Path())) {
        return;
    }
    try {
        if (!Dir1->SetPath(Drive1->Drive())) {
            // The drive is not ready or cannot be read: the lists stay where they were.
            messages_.ShowMessage(tr("フロッピーディスクをセットして下さい。"), kOkExclamation,
                                  tr("フロッピー未搬入"));
        }
    } catch (const std::exception&) {
        messages_.ShowMessage(tr("予期しないエラーが発生しました。強制終了します。"), kOkCritical,
                              tr("強制終了"));
        messages_.EndProgram();
    }
}

void ChooserWindow::Dir1_Change() {
    File1->SetPathBytes(Dir1->PathBytes());
}

void ChooserWindow::File1_Click() {
    const QString name = File1->FileName();
    if (!name.isEmpty()) txtFileName->setText(name);
}

QByteArray ChooserWindow::ChosenPathBytes() const {
    QByteArray folder = Dir1->PathBytes();
    if (!folder.endsWith('/')) folder += '/';
    return folder + File1->NameBytes(txtFileName->text());
}

QString ChooserWindow::ShownChosenPath() const {
    QString folder = Dir1->Path();
    if (!folder.endsWith('/')) folder += '/';
    return folder + txtFileName->text();
}

void ChooserWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (onCloseBox) onCloseBox();
}

WaveSelectWindow::WaveSelectWindow(MessageService& messages)
    : ChooserWindow(messages, tr("入力波選択"), 6150, 4320) {
    setObjectName(QStringLiteral("frmWaveSelect"));
    cmdOK = Place(new QPushButton(tr("選択する(&Y)"), this), 120, 3840, 1335, 375);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    setTabOrder(Drive1, Dir1);
    setTabOrder(Dir1, File1);
    setTabOrder(File1, txtFileName);
    setTabOrder(txtFileName, cmdOK);
}

SaveSelectWindow::SaveSelectWindow(MessageService& messages)
    : ChooserWindow(messages, tr("保存先選択"), 6180, 4200) {
    setObjectName(QStringLiteral("frmSaveSelect"));
    Command1 = Place(new QPushButton(tr("選択する(&Y)"), this), 120, 3720, 1335, 375);
    Command2 = Place(new QPushButton(tr("選択しない(&N)"), this), 1560, 3720, 1335, 375);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2->setObjectName(QStringLiteral("Command2"));
    setTabOrder(Drive1, txtFileName);
    setTabOrder(txtFileName, File1);
    setTabOrder(File1, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Dir1);
}

void SaveSelectWindow::File1_Click() {
    // One of the program's own result files stands for its pair: its base name goes into
    // the box, so that saving replaces the pair.
    QString name = File1->FileName();
    if (name.isEmpty()) return;
    for (const std::string_view suffix : {kParameterFileSuffix, kHistoryFileSuffix}) {
        const QString s = QString::fromUtf8(suffix.data(), static_cast<qsizetype>(suffix.size()));
        if (name.size() > s.size() && name.endsWith(s)) {
            name.chop(s.size());
            break;
        }
    }
    txtFileName->setText(name);
}

}  // namespace kestrel
