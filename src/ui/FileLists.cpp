#include "ui/FileLists.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileIconProvider>
#include <QKeyEvent>
#include <QStorageInfo>
#include <QStringDecoder>
#include <algorithm>
#include <cerrno>
#include <utility>
#include <vector>

#include "runtime/TextEncoding.h"

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

QByteArray JoinBytes(const QByteArray& folder, const QByteArray& name) {
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

// An absolute path without ".", ".." or doubled separators; empty when a relative path
// cannot be placed because the current folder cannot be told.
QByteArray CleanPath(const QByteArray& path) {
    QByteArray whole = path;
    if (!whole.startsWith('/')) {
        const QByteArray current = CurrentFolderBytes();
        if (current.isEmpty() || path.isEmpty()) return {};
        whole = JoinBytes(current, path);
    }
    QByteArrayList parts;
    for (const QByteArray& part : whole.split('/')) {
        if (part.isEmpty() || part == ".") continue;
        if (part == "..") {
            if (!parts.isEmpty()) parts.removeLast();
            continue;
        }
        parts << part;
    }
    return '/' + parts.join('/');
}

struct Entry {
    QString shown;
    QByteArray name;
};

// The folders or the plain files of a folder (links followed), hidden ones left out, in
// the order of their shown names.
std::vector<Entry> ListEntries(const QByteArray& folder, bool folders) {
    std::vector<Entry> entries;
    DIR* dir = ::opendir(folder.constData());
    if (!dir) return entries;
    while (const dirent* e = ::readdir(dir)) {
        const QByteArray name(e->d_name);
        if (name.startsWith('.')) continue;  // hidden, and "." and ".."
        struct stat info {};
        if (::stat(JoinBytes(folder, name).constData(), &info) != 0) continue;
        if (folders ? S_ISDIR(info.st_mode) : S_ISREG(info.st_mode)) {
            entries.push_back({ShownName(name), name});
        }
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        const int order = a.shown.compare(b.shown);
        return order != 0 ? order < 0 : a.name < b.name;
    });
    return entries;
}

}  // namespace

QString ShownName(const QByteArray& name) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(name);
    if (!utf8.hasError()) return text;
    if (const auto decoded = Cp932ToUtf8(std::string_view(name.constData(), name.size()))) {
        return QString::fromStdString(*decoded);
    }
    return text;  // with replacement marks where the bytes make no sense
}

QString ShownPath(const QByteArray& path) {
    QStringList parts;
    for (const QByteArray& part : path.split('/')) parts << ShownName(part);
    return parts.join('/');
}

QByteArray CurrentFolderBytes() {
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE || buffer.size() > (1u << 20)) return {};
        buffer.resize(buffer.size() * 2);
    }
    return QByteArray(buffer.data());
}

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
    drives.push_back({home, DriveList::tr("%1 (ホーム)").arg(home)});
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
    return IsReadableFolderBytes(QFile::encodeName(path));
}

bool IsReadableFolderBytes(const QByteArray& path) {
    struct stat info {};
    return !path.isEmpty() && ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           ::access(path.constData(), R_OK | X_OK) == 0;
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

int DriveList::DriveIndexOf(const QString& folder) const {
    return DriveIndexFor(drives_, folder);
}

// ---- FolderList ------------------------------------------------------------------------

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
    setIconSize(QSize(16, 16));
    connect(this, &QListWidget::itemDoubleClicked, this, &FolderList::OpenItem);
}

bool FolderList::SetPath(const QString& requested) {
    return SetPathBytes(QFile::encodeName(requested));
}

bool FolderList::SetPathBytes(const QByteArray& requested) {
    const QByteArray path = CleanPath(requested);
    if (!IsReadableFolderBytes(path)) return false;
    path_ = path;
    clear();
    auto add = [this](const QString& label, const QByteArray& full, int indent) {
        auto* item = new QListWidgetItem(FolderIcon(), QString(indent * 2, ' ') + label, this);
        item->setData(Qt::UserRole, full);
        return item;
    };
    // The path from the top down to the open folder, each a step further in...
    QByteArray walked = "/";
    int depth = 0;
    QListWidgetItem* current = add(QStringLiteral("/"), walked, depth++);
    for (const QByteArray& part : path_.split('/')) {
        if (part.isEmpty()) continue;
        walked = JoinBytes(walked, part);
        current = add(ShownName(part), walked, depth++);
    }
    // ...then the open folder's subfolders.
    for (const Entry& sub : ListEntries(path_, true))
        add(sub.shown, JoinBytes(path_, sub.name), depth);
    setCurrentItem(current);
    emit pathChanged(Path());
    return true;
}

void FolderList::OpenItem(QListWidgetItem* item) {
    if (!item) return;
    const QByteArray target = item->data(Qt::UserRole).toByteArray();
    if (target == path_) return;
    if (!SetPathBytes(target)) emit openFailed(ShownPath(target));
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
    // A file is chosen only when the user selects it: the focus coming into the list makes
    // a file current without selecting it, and must not replace the name being typed.
    connect(this, &QListWidget::itemClicked, this, [this] { emit fileClicked(); });
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (!selectedItems().isEmpty()) emit fileClicked();
    });
}

void FileList::SetPath(const QString& path) {
    SetPathBytes(QFile::encodeName(path));
}

void FileList::SetPathBytes(const QByteArray& path) {
    path_ = path;
    const QSignalBlocker quiet(this);
    clear();
    for (const Entry& file : ListEntries(path_, false)) {
        auto* item = new QListWidgetItem(file.shown, this);
        item->setData(Qt::UserRole, file.name);
    }
    setCurrentRow(-1);
}

QString FileList::FileName() const {
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

QByteArray FileList::NameBytes(const QString& shown) const {
    const QByteArray utf8 = QFile::encodeName(shown);
    const QList<QListWidgetItem*> selected = selectedItems();
    if (!selected.isEmpty() && selected.first()->text() == shown) {
        return selected.first()->data(Qt::UserRole).toByteArray();
    }
    QByteArray found;
    for (int row = 0; row < count(); ++row) {
        const QListWidgetItem* it = item(row);
        if (it->text() != shown) continue;
        const QByteArray name = it->data(Qt::UserRole).toByteArray();
        if (name == utf8) return name;
        if (found.isEmpty()) found = name;
    }
    return found.isEmpty() ? utf8 : found;
}

}  // namespace kestrel
