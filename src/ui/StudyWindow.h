// The study window "結果の検討": the response spectra, the Fourier spectrum and the
// ground-motion indices of the confirmed record, and the accuracy of the step-by-step method
// for the main window's current inputs. Computed when it opens and on "再計算(&U)", from the main
// window's boxes and the record confirmed at that moment; closing it discards it.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>

class QKeyEvent;
class QLabel;
class QPushButton;
class QTabWidget;

namespace kestrel {

class AccuracyTab;
class FourierTab;
class IndicesTab;
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

    QTabWidget* tabs = nullptr;
    SpectrumTab* spectrum = nullptr;
    FourierTab* fourier = nullptr;
    AccuracyTab* accuracy = nullptr;
    IndicesTab* indices = nullptr;
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

    MainWindow& main_;
};

}  // namespace kestrel
