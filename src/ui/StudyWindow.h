// The study window "結果の検討": the response spectra, the Fourier spectrum and the
// ground-motion indices of the record of the main window's last run, the accuracy of the
// step-by-step method on that run, its building's elastic-plastic response and the record's
// required-strength spectra. It studies the run as the main window holds it (its inputs,
// ground motion and response; the record is not read or
// the run stepped again) and shows that run's inputs until "再計算(&U)" takes the run the main
// window holds then; closing it discards it.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

#include "ui/SteppedRun.h"

class QKeyEvent;
class QLabel;
class QPushButton;
class QTabWidget;

namespace kestrel {

class AccuracyTab;
class FourierTab;
class IndicesTab;
class InelasticTab;
class MainWindow;
class SpectrumTab;
class StrengthTab;

class StudyWindow : public QWidget {
    Q_OBJECT

public:
    explicit StudyWindow(MainWindow& main);
    ~StudyWindow() override;

    // Computes every tab from the main window's last run. False when it holds none (the user
    // has been told so): the window is then left as it was.
    bool Recompute();
    // The run the tabs show; null before the first computation.
    const std::shared_ptr<const SteppedRun>& Run() const { return run_; }

    // The save dialog; tests put their own answer here. An empty name cancels. The dialog
    // adds the default suffix (the format's extension, "csv") to a name typed without one
    // and asks before replacing an existing file under the name it returns, so that the
    // question covers the very file the export writes; a stand-in must do the same.
    std::function<QString(QWidget* parent, const QString& caption, const QString& suggested,
                          const QString& filter, const QString& defaultSuffix)>
        askSaveFileName;

    // The exports of the tab on top: its numbers as CSV, its charts as PNG or SVG.
    void cmdCsv_Click();
    void cmdPng_Click();
    void cmdSvg_Click();

    // Over the tabs: the run they show, and a second line when the main window holds
    // another run now (or none).
    QLabel* lblRun = nullptr;
    QLabel* lblNewerRun = nullptr;
    QTabWidget* tabs = nullptr;
    SpectrumTab* spectrum = nullptr;
    FourierTab* fourier = nullptr;
    AccuracyTab* accuracy = nullptr;
    IndicesTab* indices = nullptr;
    InelasticTab* inelastic = nullptr;  // its playback stops when it is hidden
    StrengthTab* strength = nullptr;
    QPushButton* cmdRecompute = nullptr;
    QPushButton* cmdCsv = nullptr;
    QPushButton* cmdPng = nullptr;
    QPushButton* cmdSvg = nullptr;
    QPushButton* cmdClose = nullptr;

protected:
    // Esc closes the window, as it closes a dialog.
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Asks for a file name, the suggested one first, and writes the bytes under the name
    // the dialog returns, whole; a failure is told with the file's name and the reason.
    void Export(const QString& caption, const QString& suggested, const QString& filter,
                const QByteArray& bytes);
    QWidget* CurrentCharts() const;
    QString CurrentName() const;
    QString CurrentCaption() const;

    // Says whether the main window holds a run other than the one shown.
    void NoteMainWindowRun();

    MainWindow& main_;
    std::shared_ptr<const SteppedRun> run_;
};

}  // namespace kestrel
