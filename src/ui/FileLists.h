// The three linked lists of the chooser windows: drives, folders and files.
//
// A "drive" here is a mounted volume (the root file system, removable media, network
// shares) or the user's home folder; the folder list shows the path from the drive's top
// down to the open folder, then the open folder's subfolders; the file list shows the
// files of one folder.
#pragma once

#include <QComboBox>
#include <QListWidget>
#include <QString>

namespace kestrel {

// One entry of the drive list.
struct Drive {
    QString path;   // the folder the drive opens at
    QString label;  // what the list shows
};

// The mounted volumes worth browsing (pseudo file systems left out) and the home folder.
QList<Drive> AvailableDrives();

// The drive whose folder holds the given folder (the longest matching one).
int DriveIndexFor(const QList<Drive>& drives, const QString& folder);

// File and folder names are bytes. Names written in UTF-8 are shown as they are; others,
// such as the CP932 names that archives made on Windows hold, are shown decoded as CP932
// (and with replacement marks when not even that reads them). The lists keep each name's
// bytes beside the text they show and open everything by its bytes.
QString ShownName(const QByteArray& name);
// A whole path, each of its parts shown as ShownName does.
QString ShownPath(const QByteArray& path);

class DriveList : public QComboBox {
    Q_OBJECT

public:
    explicit DriveList(QWidget* parent = nullptr);
    // The folder of the picked drive.
    QString Drive() const;
    // Shows the drive of a folder without raising a change.
    void ShowDriveOf(const QString& folder);
    // The index of the drive that holds a folder; -1 when none does.
    int DriveIndexOf(const QString& folder) const;
    // Replaces the drives (tests use their own).
    void SetDrives(const QList<kestrel::Drive>& drives);

signals:
    // The user picked another drive.
    void driveChanged();

private:
    QList<kestrel::Drive> drives_;
};

class FolderList : public QListWidget {
    Q_OBJECT

public:
    explicit FolderList(QWidget* parent = nullptr);
    // The open folder as shown, and its real bytes.
    QString Path() const { return ShownPath(path_); }
    QByteArray PathBytes() const { return path_; }
    // Opens a folder: false (and nothing changes) when it is not a readable folder.
    bool SetPath(const QString& path);
    bool SetPathBytes(const QByteArray& path);

signals:
    // The open folder changed (by the user or by SetPath).
    void pathChanged(const QString& path);
    // The user tried to open a folder that cannot be read.
    void openFailed(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OpenItem(QListWidgetItem* item);
    QByteArray path_;
};

class FileList : public QListWidget {
    Q_OBJECT

public:
    explicit FileList(QWidget* parent = nullptr);
    // The listed folder as shown, and its real bytes.
    QString Path() const { return ShownPath(path_); }
    QByteArray PathBytes() const { return path_; }
    void SetPath(const QString& path);
    void SetPathBytes(const QByteArray& path);
    // The bare name of the selected file, with its extension, as shown; empty when none.
    QString FileName() const;
    // The real bytes of a file name as shown: those of the listed file that shows it,
    // else the name in UTF-8.
    QByteArray NameBytes(const QString& shown) const;

signals:
    // The user selected a file (a click or the arrow keys). Moving the focus into the
    // list, which only marks a file as current, selects nothing.
    void fileClicked();

private:
    QByteArray path_;
};

// Whether a folder can be listed: it exists, is a folder and may be read.
bool IsReadableFolder(const QString& path);
bool IsReadableFolderBytes(const QByteArray& path);

// The process's current folder as bytes; empty when it cannot be told.
QByteArray CurrentFolderBytes();

}  // namespace kestrel
