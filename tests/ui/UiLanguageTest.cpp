// Qt's own texts in the program's language once its translations are installed: the
// standard buttons of a message box and the buttons and labels of the file dialog.
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "runtime/UiLanguage.h"

using namespace kestrel;

class UiLanguageTest : public QObject {
    Q_OBJECT

private slots:
    void qtTextsSpeakTheProgramsLanguage();
};

void UiLanguageTest::qtTextsSpeakTheProgramsLanguage() {
    QCOMPARE(ProgramLanguage(), UiLanguage::Japanese);
    QVERIFY2(InstallQtTranslations(*qApp, ProgramLanguage()),
             "Qt's Japanese translations (qt6-translations-l10n) are not installed");

    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel |
                           QMessageBox::Ok | QMessageBox::Save);
    QFileDialog dialog(nullptr, QStringLiteral("保存"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const auto dialogButton = [&](QDialogButtonBox::StandardButton which) {
        return dialog.findChild<QDialogButtonBox*>()->button(which)->text();
    };
    const auto dialogLabel = [&](const char* name) {
        return dialog.findChild<QLabel*>(QLatin1String(name))->text();
    };
    const struct {
        QString shown;
        const char* expected;
    } cases[] = {
        {box.button(QMessageBox::Yes)->text(), "はい(&Y)"},
        {box.button(QMessageBox::No)->text(), "いいえ(&N)"},
        {box.button(QMessageBox::Cancel)->text(), "キャンセル"},
        {box.button(QMessageBox::Save)->text(), "保存"},
        {dialogButton(QDialogButtonBox::Save), "保存(&S)"},
        {dialogButton(QDialogButtonBox::Cancel), "キャンセル"},
        {dialogLabel("fileNameLabel"), "ファイル名(&N):"},
        {dialogLabel("fileTypeLabel"), "ファイルの種類:"},
    };
    for (const auto& c : cases) QCOMPARE(c.shown, QString::fromUtf8(c.expected));
}

QTEST_MAIN(UiLanguageTest)
#include "UiLanguageTest.moc"
