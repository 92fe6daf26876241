// The main window's file commands: the two choosers, the earthquake record and the save.
#include "ui/MainWindow.h"

namespace kestrel {

struct FileParts {};

void FilePartsDeleter::operator()(FileParts* parts) const {
    delete parts;
}

FileParts* CreateFileParts(MainWindow&) {
    return new FileParts;
}

void MainWindow::cmdWave_Click() {}
void MainWindow::cmdSelect_Click() {}
void MainWindow::cmdSave_Click() {}

std::optional<WaveRecord> MainWindow::LoadWaveRecord() {
    Messages().ShowMessage(QStringLiteral("地震波ファイルが選択されていません。"), kOkInformation,
                           QStringLiteral("解析不能"));
    return std::nullopt;
}

}  // namespace kestrel
