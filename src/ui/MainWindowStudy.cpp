// The main window's study command: the button and the study window it opens.
#include <QPushButton>

#include "ui/FormLayout.h"
#include "ui/MainWindow.h"
#include "ui/StudyWindow.h"

namespace kestrel {

void MainWindow::BuildStudyCommand() {
    // Below the natural period, beside the playback check box, above the command row.
    cmdStudy =
        Place(new QPushButton(QStringLiteral("結果の検討(&R)"), this), 1920, 2820, 1455, 375);
    cmdStudy->setObjectName(QStringLiteral("cmdStudy"));
    // Last in the keyboard order, after every written control.
    setTabOrder(txtDisMax, cmdStudy);
    connect(cmdStudy, &QPushButton::clicked, this, &MainWindow::cmdStudy_Click);
}

void MainWindow::cmdStudy_Click() {
    if (auto* open = qobject_cast<StudyWindow*>(study_.data())) {
        open->Recompute();
        open->raise();
        open->activateWindow();
        return;
    }
    auto* window = new StudyWindow(*this);
    // Without a record there is nothing to study: the user has been told why.
    if (!window->Recompute()) {
        delete window;
        return;
    }
    study_ = window;
    window->show();
}

}  // namespace kestrel
