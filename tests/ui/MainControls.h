// The main window's controls as the tests reach them: found by the names the program gives
// them, as a tool would find them.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace kestrel::test {

// The named control of the window; a name it lacks ends the test program.
template <typename Control>
Control* Named(const QObject& window, const char* name) {
    auto* found = window.findChild<Control*>(QString::fromLatin1(name));
    if (!found) {
        std::fprintf(stderr, "no control named %s\n", name);
        std::abort();
    }
    return found;
}

struct MainControls {
    explicit MainControls(const QWidget& w) : window(w) {}

    const QWidget& window;
    QGroupBox* Frame1 = Named<QGroupBox>(window, "Frame1");
    QGroupBox* Frame2 = Named<QGroupBox>(window, "Frame2");
    QLabel* lblK = Named<QLabel>(window, "lblK");
    QLabel* lblM = Named<QLabel>(window, "lblM");
    QLabel* lblH = Named<QLabel>(window, "lblH");
    QLabel* lblTs = Named<QLabel>(window, "lblTs");
    QLabel* lblTl = Named<QLabel>(window, "lblTl");
    QLineEdit* txtK = Named<QLineEdit>(window, "txtK");
    QLineEdit* txtW = Named<QLineEdit>(window, "txtW");
    QLineEdit* txtH = Named<QLineEdit>(window, "txtH");
    QLineEdit* txtTs = Named<QLineEdit>(window, "txtTs");
    QLineEdit* txtTl = Named<QLineEdit>(window, "txtTl");
    QRadioButton* optDis = Named<QRadioButton>(window, "optDis");
    QRadioButton* optVel = Named<QRadioButton>(window, "optVel");
    QRadioButton* optOrgCycle = Named<QRadioButton>(window, "optOrgCycle");
    QRadioButton* optSelect = Named<QRadioButton>(window, "optSelect");
    QRadioButton* optOrgCycleDis = Named<QRadioButton>(window, "optOrgCycleDis");
    QLineEdit* txtFirstDis = Named<QLineEdit>(window, "txtFirstDis");
    QLineEdit* txtFirstVel = Named<QLineEdit>(window, "txtFirstVel");
    QLineEdit* txtOrgCycle = Named<QLineEdit>(window, "txtOrgCycle");
    QLabel* lblSinMax = Named<QLabel>(window, "lblSinMax");
    QLineEdit* txtCacMax = Named<QLineEdit>(window, "txtCacMax");
    QLineEdit* txtOrgCycleDis = Named<QLineEdit>(window, "txtOrgCycleDis");
    QLabel* lblDisMax = Named<QLabel>(window, "lblDisMax");
    QLineEdit* txtDisMax = Named<QLineEdit>(window, "txtDisMax");
    QPushButton* cmdWave = Named<QPushButton>(window, "cmdWave");
    QLabel* lblOrgCycle = Named<QLabel>(window, "lblOrgCycle");
    QCheckBox* chkPicture = Named<QCheckBox>(window, "chkPicture");
    QPushButton* cmdCycle = Named<QPushButton>(window, "cmdCycle");
    QPushButton* cmdStart = Named<QPushButton>(window, "cmdStart");
    QPushButton* cmdSelect = Named<QPushButton>(window, "cmdSelect");
    QPushButton* cmdSave = Named<QPushButton>(window, "cmdSave");
    QPushButton* cmdExit = Named<QPushButton>(window, "cmdExit");
    QPushButton* cmdStudy = Named<QPushButton>(window, "cmdStudy");
    QTimer* Timer1 = Named<QTimer>(window, "Timer1");
};

}  // namespace kestrel::test
