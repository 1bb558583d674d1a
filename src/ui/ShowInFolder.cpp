// TShowInFolder: the message for a keepsake no program opens, and its folder.
#include "ui/ShowInFolder.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/TextCodec.h"
#include "platform/qt/LocalPath.h"

namespace {

// How long the desktop's list of programs is asked before it is taken as
// naming none.
constexpr int kAskMs = 3000;

// Whether the desktop has a program for files of kind Mime. Where its
// launcher is xdg-open, which would fail unseen, xdg-mime says; elsewhere
// the launcher is taken at its word.
bool AProgramOpens(const QString& mime) {
    const QString ask = QStandardPaths::findExecutable("xdg-mime");
    if (ask.isEmpty() || QStandardPaths::findExecutable("xdg-open").isEmpty())
        return true;
    QProcess query;
    query.start(ask, {"query", "default", mime});
    return !query.waitForFinished(kAskMs) || query.exitStatus() != QProcess::NormalExit ||
           !query.readAllStandardOutput().trimmed().isEmpty();
}

// Opens Path with the desktop's program for files of kind Mime.
bool Open(const std::string& path, const QString& mime) {
    return AProgramOpens(mime) &&
           QDesktopServices::openUrl(QUrl::fromLocalFile(PathToQString(path)));
}

} // namespace

TShowInFolder::TShowInFolder() {
    OpenFolder = [](const std::string& folder) { return Open(folder, "inode/directory"); };
    CopyPath = [](const std::string& path) {
        QApplication::clipboard()->setText(PathToQString(path));
    };
}

void TShowInFolder::NoProgramOpens(const std::string& path, const std::string& kind) const {
    const std::string folder = plat::ExtractFilePath(path);
    const std::string name = path.substr(folder.size());
    std::string caption = kind;
    if (!caption.empty() && caption[0] >= 'a' && caption[0] <= 'z')
        caption[0] = static_cast<char>(caption[0] - 'a' + 'A');
    if (plat::ShowMessage(plat::MsgKind::Information,
                          "No program on this computer opens your " + kind + ".\n\nIt is \"" +
                              plat::PathText(name) + "\" in the folder\n" + plat::PathText(folder),
                          plat::MsgButtons::Ok, caption,
                          "Show in folder") == plat::MsgAnswer::Action)
        Show(path);
}

void TShowInFolder::Show(const std::string& path) const {
    const std::string folder = plat::ExtractFilePath(path);
    if (OpenFolder(folder))
        return;
    CopyPath(folder);
    plat::ShowMessage(plat::MsgKind::Information,
                      "There is no file manager on this computer to show the folder. Its place "
                      "is copied, ready to paste:\n" +
                          plat::PathText(folder));
}

bool TShowInFolder::OpenDocument(const std::string& path) {
    return Open(path, QMimeDatabase().mimeTypeForFile(PathToQString(path)).name());
}
