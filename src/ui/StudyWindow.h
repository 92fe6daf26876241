// The study window "結果の検討": the response spectra and the Fourier spectrum of the
// confirmed record, and the accuracy of the step-by-step method for the main window's
// current inputs. Computed when it opens and on "再計算(&U)", from the main window's boxes
// and the record confirmed at that moment; closing it discards it.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;
class QTabWidget;

namespace kestrel {

class AccuracyTab;
class FourierTab;
class MainWindow;
class SpectrumTab;

class StudyWindow : public QWidget {
    Q_OBJECT

public:
    explicit StudyWindow(MainWindow& main);
    ~StudyWindow() override;

    // Reads the record and the main window's boxes and computes every tab. False when the
    // record could not be read (the user has been told why) and nothing was computed.
    bool Recompute();

    // The standard save dialog; tests put their own answer here. An empty name cancels.
    std::function<QString(QWidget* parent, const QString& caption, const QString& suggested,
                          const QString& filter)>
        askSaveFileName;

    // The exports of the tab on top: its numbers as CSV, its charts as PNG or SVG.
    void cmdCsv_Click();
    void cmdPng_Click();
    void cmdSvg_Click();

    QTabWidget* tabs = nullptr;
    SpectrumTab* spectrum = nullptr;
    FourierTab* fourier = nullptr;
    AccuracyTab* accuracy = nullptr;
    QPushButton* cmdRecompute = nullptr;
    QPushButton* cmdCsv = nullptr;
    QPushButton* cmdPng = nullptr;
    QPushButton* cmdSvg = nullptr;
    QPushButton* cmdClose = nullptr;

private:
    // Asks for a file name, the suggested one first, and writes the bytes there whole; a
    // failure is told with the file's name and the reason.
    void Export(const QString& caption, const QString& suggested, const QString& filter,
                const QByteArray& bytes);
    QWidget* CurrentCharts() const;
    QString CurrentName() const;

    MainWindow& main_;
};

}  // namespace kestrel
