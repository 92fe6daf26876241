// The two chooser windows: frmWaveSelect picks the ground-motion wave file, frmSaveSelect
// the folder and base name of the result files. They share the drive, folder and file
// lists, the file-name box and its label; they differ in their buttons.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>

#include "files/WaveFile.h"
#include "runtime/MessageService.h"
#include "ui/FileLists.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace kestrel {

class ChooserWindow : public QWidget {
    Q_OBJECT

public:
    DriveList* Drive1 = nullptr;
    FolderList* Dir1 = nullptr;
    FileList* File1 = nullptr;
    QLineEdit* txtFileName = nullptr;
    QLabel* lblFileName = nullptr;

    // The user picked another drive: open its folder, or tell that it is not ready.
    void Drive1_Change();
    // The open folder changed: the file list follows it.
    void Dir1_Change();
    // A file was selected: its bare name goes into the file-name box.
    virtual void File1_Click();

    // The open folder and the name in the box: the real bytes to open, and as shown.
    QByteArray ChosenPathBytes() const;
    QString ShownChosenPath() const;

    // Called when the window's close box discards it; the owner unloads it and brings the
    // main window back.
    std::function<void()> onCloseBox;

protected:
    ChooserWindow(MessageService& messages, const QString& caption, int widthTwips,
                  int heightTwips);
    void closeEvent(QCloseEvent* event) override;
    MessageService& messages_;
};

class WaveSelectWindow : public ChooserWindow {
    Q_OBJECT

public:
    explicit WaveSelectWindow(MessageService& messages);
    QPushButton* cmdOK = nullptr;

    // The component picked for the confirmed file when it is a JMA CSV record, read again
    // by each earthquake run; none for the other formats. Replaced when another file is
    // confirmed, kept while the window is hidden.
    std::optional<RecordComponent> WaveComponent;
};

class SaveSelectWindow : public ChooserWindow {
    Q_OBJECT

public:
    explicit SaveSelectWindow(MessageService& messages);
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;

    // A selected result file gives its base name; any other file its whole name.
    void File1_Click() override;
};

}  // namespace kestrel
