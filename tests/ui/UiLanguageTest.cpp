// Qt's own texts in the program's language once its translations are installed (English
// needs none): the standard buttons of a message box and the buttons and labels of the file
// dialog.
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
    QCOMPARE(ProgramLanguage(), Language::Japanese);
    // English first: it installs nothing, so Qt's texts stay as Qt writes them.
    for (const Language language : {Language::English, Language::Japanese}) {
        QVERIFY2(InstallQtTranslations(*qApp, language),
                 "Qt's Japanese translations (qt6-translations-l10n) are not installed");
        const bool english = language == Language::English;

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
            const char* japanese;
            const char* english;
        } cases[] = {
            {box.button(QMessageBox::Yes)->text(), "はい(&Y)", "&Yes"},
            {box.button(QMessageBox::No)->text(), "いいえ(&N)", "&No"},
            {box.button(QMessageBox::Cancel)->text(), "キャンセル", "Cancel"},
            {box.button(QMessageBox::Save)->text(), "保存", "Save"},
            {dialogButton(QDialogButtonBox::Save), "保存(&S)", "&Save"},
            {dialogButton(QDialogButtonBox::Cancel), "キャンセル", "Cancel"},
            {dialogLabel("fileNameLabel"), "ファイル名(&N):", "File &name:"},
            {dialogLabel("fileTypeLabel"), "ファイルの種類:", "Files of type:"},
        };
        for (const auto& c : cases) {
            QCOMPARE(c.shown, QString::fromUtf8(english ? c.english : c.japanese));
        }
    }
}

QTEST_MAIN(UiLanguageTest)
#include "UiLanguageTest.moc"
