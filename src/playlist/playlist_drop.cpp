// The playlist box's drop. The popups it opens are modal: the chosen item's
// handler has run when PopupMenu returns.
#include "playlist/playlist_drop.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <memory>

#include "app/dialogs.h"
#include "app/drag_answer.h"
#include "app/frm_hide_menu.h"
#include "app/program_state.h"
#include "app/unstorable_paths.h"
#include "platform/media_kinds.h"
#include "playback/media_play.h"
#include "playlist/cls_playlist.h"
#include "playlist/playlist_undo.h"
#include "playlist/playlist_walk.h"

namespace qv {
namespace {

bool IsPlayListFile(const QString& path) {
    return path.right(4).toUpper() == u".LST";
}

void PopUpFolderMenu(ProgramState& state, const QString& folder) {
    state.strClickedPath = folder;
    frmHideMenu& menus = state.HideMenu();
    // The tree's own items make no sense for a dropped folder.
    menus.mnTreeExpand->setVisible(false);
    menus.sp40->setVisible(false);
    state.dialogs.PopupMenu(*menus.mnAddListDrop);
}

void PopUpPlayListMenu(ProgramState& state, const QString& path) {
    state.strClickedPath = path;
    state.dialogs.PopupMenu(*state.HideMenu().mnNodePL);
}

}  // namespace

void AddAndPlayIfIdle(ProgramState& state, const QString& path) {
    const PlayListUndo::Step step(state);
    state.objPlayList->AddToPlayList(path);
    clsMediaPlay& player = *state.objMediaPlay;
    // With no file open at all (nothing opened yet, or the last open
    // failed) the file is only added: the player waits for Play.
    if (player.IsIdle() && player.PlayState() != PlayerState::NoDevice)
        player.OpenPlay(state.PlayListData.UBound());
}

namespace {

// A path the program cannot keep exactly is left out and named in *left.
void DropFile(ProgramState& state, const QUrl& url, QStringList* left) {
    if (!url.isLocalFile()) return;
    QString local;
    if (!DroppedLocalPath(url, &local) || HasLineEnd(local)) {
        left->append(local);
        return;
    }
    const QFileInfo info(local);
    if (info.isDir()) {
        // A file manager may send a folder with a trailing "/".
        PopUpFolderMenu(state, QDir::cleanPath(info.filePath()));
    } else if (info.isFile()) {
        const QString path = info.filePath();
        if (IsPlayListFile(path)) {
            PopUpPlayListMenu(state, path);
        } else if (IsMediaKind(EntryExtension(info.fileName()))) {
            AddAndPlayIfIdle(state, path);
        }
    }
}

}  // namespace

void DropTextOnPlayList(ProgramState& state, const QString& t) {
    if (IsTreeMarkerText(t)) return;
    // The folder or the playlist file a popup adds is one step, however many
    // entries it brings.
    const PlayListUndo::Step step(state);
    // A relative text names nothing in particular; nor does text about a
    // path that is not there: neither becomes an entry.
    if (!QDir::isAbsolutePath(t)) return;
    const QFileInfo info(t);
    if (HasLineEnd(t)) {
        // Text of several lines is no path, unless a file has that very name:
        // that one could not be kept in a playlist file, so it is named, not added.
        if (info.exists()) ReportUnstorablePaths(state, state.MainWindow(), {t});
        return;
    }
    if (info.isDir()) {
        PopUpFolderMenu(state, t);
    } else if (!info.isFile()) {
        return;
    } else if (IsPlayListFile(t)) {
        PopUpPlayListMenu(state, t);
    } else {
        AddAndPlayIfIdle(state, t);
    }
}

namespace {

// A file manager's files, taken one by one: after a folder whose walk runs,
// the next waits for the walk's end, so that what it adds comes after the
// folder's files. The whole drop is one step of the undo.
class FileDrop : public std::enable_shared_from_this<FileDrop> {
  public:
    FileDrop(ProgramState& state, QList<QUrl> urls)
        : state_(state), step_(state), urls_(std::move(urls)) {}

    void Next() {
        while (next_ < urls_.size()) {
            DropFile(state_, urls_[next_++], &left_);
            if (PlayListWalking(state_)) {
                AfterPlayListWalks(state_, [self = shared_from_this()] { self->Next(); });
                return;
            }
        }
        ReportUnstorablePaths(state_, state_.MainWindow(), left_);
    }

  private:
    ProgramState& state_;
    const PlayListUndo::Step step_;
    const QList<QUrl> urls_;
    qsizetype next_ = 0;
    QStringList left_;
};

}  // namespace

void lstPL_OLEDragDrop(ProgramState& state, const QMimeData& data) {
    if (data.hasUrls()) {
        std::make_shared<FileDrop>(state, data.urls())->Next();
    } else if (data.hasText()) {
        DropTextOnPlayList(state, data.text());
    }
}

}  // namespace qv
