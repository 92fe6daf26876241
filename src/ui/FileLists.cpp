#include "ui/FileLists.h"

#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStorageInfo>
#include <algorithm>

namespace kestrel {

namespace {

// File systems that hold no user files: the kernel's own views, device nodes, containers'
// layers.
bool IsPseudoFileSystem(const QByteArray& type) {
    static const QByteArrayList pseudo = {
        "proc",       "sysfs",    "devtmpfs", "devpts",   "cgroup",      "cgroup2",
        "securityfs", "pstore",   "bpf",      "debugfs",  "tracefs",     "mqueue",
        "hugetlbfs",  "configfs", "fusectl",  "autofs",   "binfmt_misc", "efivarfs",
        "rpc_pipefs", "nsfs",     "overlay",  "squashfs", "ramfs",
    };
    return pseudo.contains(type);
}

QIcon FolderIcon() {
    static const QFileIconProvider provider;
    return provider.icon(QFileIconProvider::Folder);
}

}  // namespace

QList<Drive> AvailableDrives() {
    QList<Drive> drives;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || IsPseudoFileSystem(volume.fileSystemType())) continue;
        const QString root = volume.rootPath();
        // tmpfs volumes are shown only where removable or user media are mounted.
        if (volume.fileSystemType() == "tmpfs" && !root.startsWith(QStringLiteral("/media")) &&
            !root.startsWith(QStringLiteral("/mnt")) && root != QStringLiteral("/tmp")) {
            continue;
        }
        const QString name = volume.displayName() == root ? QString() : volume.displayName();
        drives.push_back({root, name.isEmpty() ? root : root + QStringLiteral(" [") + name + ']'});
    }
    const QString home = QDir::homePath();
    drives.push_back({home, home + QStringLiteral(" (ホーム)")});
    std::sort(drives.begin(), drives.end(),
              [](const Drive& a, const Drive& b) { return a.path < b.path; });
    return drives;
}

int DriveIndexFor(const QList<Drive>& drives, const QString& folder) {
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < drives.size(); ++i) {
        const QString& p = drives[i].path;
        const bool inside = folder == p || p == QStringLiteral("/") ||
                            folder.startsWith(p.endsWith('/') ? p : p + '/');
        if (inside && p.size() > bestLength) {
            best = i;
            bestLength = p.size();
        }
    }
    return best;
}

bool IsReadableFolder(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && info.isDir() && info.isReadable() && info.isExecutable();
}

// ---- DriveList -------------------------------------------------------------------------

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    SetDrives(AvailableDrives());
    connect(this, &QComboBox::activated, this, [this] { emit driveChanged(); });
}

void DriveList::SetDrives(const QList<kestrel::Drive>& drives) {
    drives_ = drives;
    const QSignalBlocker quiet(this);
    clear();
    for (const kestrel::Drive& d : drives_) addItem(d.label, d.path);
}

QString DriveList::Drive() const {
    return currentData().toString();
}

void DriveList::ShowDriveOf(const QString& folder) {
    const QSignalBlocker quiet(this);
    setCurrentIndex(DriveIndexFor(drives_, folder));
}

// ---- FolderList ------------------------------------------------------------------------

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
    setIconSize(QSize(16, 16));
    connect(this, &QListWidget::itemDoubleClicked, this, &FolderList::OpenItem);
}

bool FolderList::SetPath(const QString& requested) {
    const QString path = QDir::cleanPath(QDir(requested).absolutePath());
    if (!IsReadableFolder(path)) return false;
    path_ = path;
    clear();
    // The path from the top down to the open folder, each a step further in...
    QStringList parts = path_.split('/', Qt::SkipEmptyParts);
    QString walked = QStringLiteral("/");
    int depth = 0;
    auto add = [this](const QString& label, const QString& full, int indent) {
        auto* item = new QListWidgetItem(FolderIcon(), QString(indent * 2, ' ') + label, this);
        item->setData(Qt::UserRole, full);
        return item;
    };
    QListWidgetItem* current = add(QStringLiteral("/"), walked, depth++);
    for (const QString& part : parts) {
        walked = walked.endsWith('/') ? walked + part : walked + '/' + part;
        current = add(part, walked, depth++);
    }
    // ...then the open folder's subfolders.
    const QDir dir(path_);
    for (const QString& sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        add(sub, dir.filePath(sub), depth);
    }
    setCurrentItem(current);
    emit pathChanged(path_);
    return true;
}

void FolderList::OpenItem(QListWidgetItem* item) {
    if (!item) return;
    const QString target = item->data(Qt::UserRole).toString();
    if (target == path_) return;
    if (!SetPath(target)) emit openFailed(target);
}

void FolderList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        OpenItem(currentItem());
        return;
    }
    QListWidget::keyPressEvent(event);
}

// ---- FileList --------------------------------------------------------------------------

FileList::FileList(QWidget* parent) : QListWidget(parent) {
    connect(this, &QListWidget::itemClicked, this, [this] { emit fileClicked(); });
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) emit fileClicked();
    });
}

void FileList::SetPath(const QString& path) {
    path_ = path;
    const QSignalBlocker quiet(this);
    clear();
    addItems(QDir(path).entryList(QDir::Files, QDir::Name));
    setCurrentRow(-1);
}

QString FileList::FileName() const {
    const QListWidgetItem* item = currentItem();
    return item ? item->text() : QString();
}

}  // namespace kestrel
