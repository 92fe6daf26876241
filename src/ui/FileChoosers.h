// The main window's two chooser windows, each made when it is first needed: the wave
// chooser (frmWaveSelect) confirms the record an earthquake run reads, the save chooser
// (frmSaveSelect) holds the results' destination until a save uses it up. Each takes the
// main window's place on the screen while it is open.
#pragma once

#include <QObject>
#include <QString>
#include <optional>
#include <string>

#include "analysis/WaveRecord.h"
#include "runtime/MessageService.h"
#include "ui/FormSlot.h"
#include "ui/SteppedRun.h"

class QWidget;

namespace kestrel {

class SaveSelectWindow;
class WaveSelectWindow;

class FileChoosers : public QObject {
    Q_OBJECT

public:
    // `home` is the main window: hidden while a chooser is open, shown when it closes.
    FileChoosers(QWidget& home, MessageService& messages);
    ~FileChoosers() override;

    // "地震波選択" and "保存先選択(&C)".
    void ShowWaveChooser();
    void ShowSaveChooser();

    // Reads the confirmed wave file again for an earthquake run, with the component picked
    // when it was confirmed. No value ends the run: the user has been told why. `source`,
    // when given, is told which file and component were read.
    std::optional<WaveRecord> LoadWaveRecord(WaveSource* source = nullptr);

    // Where "保存(&S)" writes: the save chooser's open folder, as the bytes to open it by, and
    // the base name typed (empty when none was chosen).
    struct SaveDestination {
        std::string folder;
        QString baseName;
    };
    SaveDestination Destination();
    // After a save that succeeded: the destination is used up with its window.
    void UseUpDestination();

signals:
    // A wave file was confirmed: its record's time step and duration, as the time-step and
    // analysis-time boxes take them. Sent before the messages that tell the user so.
    void recordConfirmed(const QString& timeStep, const QString& analysisTime);

private:
    // "選択する(&Y)" of the wave chooser: reads the chosen file (asking for the component of
    // a JMA CSV record) and confirms it, or tells why it cannot be used.
    void ConfirmWaveFile();
    WaveSelectWindow* CreateWave();
    SaveSelectWindow* CreateSave();

    QWidget& home_;
    MessageService& messages_;
    FormSlot<WaveSelectWindow> wave_;
    FormSlot<SaveSelectWindow> save_;
};

}  // namespace kestrel
