// The main window's playback commands: the hand-over at the end of a run and the tick.
#include "ui/MainWindow.h"

namespace kestrel {

struct PlaybackParts {};

void PlaybackPartsDeleter::operator()(PlaybackParts* parts) const {
    delete parts;
}

PlaybackParts* CreatePlaybackParts(MainWindow&) {
    return new PlaybackParts;
}

void MainWindow::HandOverToPlayback(int /*intervalMs*/) {
    Messages().ShowMessage(QStringLiteral("終了しました。"), kOkInformation,
                           QStringLiteral("解析終了"));
}

void MainWindow::Timer1_Timer() {}

}  // namespace kestrel
