// The folder watch. A change of a watched folder is looked at a moment later
// (a copy makes many), by listing that folder only: its new media files join
// the tree through the scan's own AddCanonicalMediaNode and are appended to
// MediaDB.db by the library file's writer, as a scan's are; file nodes of
// files gone leave the tree, as do folder nodes left with nothing; a new
// subfolder is walked whole on a worker, one at a time, and watched from then
// on. Nothing is looked at while a scan runs: the scan adds what it meets
// itself, and the changes wait for its end.
#include "library/folder_watch.h"

#include <QSet>
#include <QTimer>
#include <deque>
#include <memory>
#include <utility>
#include <cstdio>

#include "app/frm_quorvane.h"
#include "app/pictures.h"
#include "app/program_state.h"
#include "app/save_failures.h"
#include "app/tree_view.h"
#include "library/library_file.h"
#include "library/media_db.h"
#include "library/remove_root.h"
#include "library/scan.h"
#include "library/tree_upkeep.h"
#include "platform/filesystem.h"
#include "platform/folder_walk.h"
#include "platform/folder_walk_thread.h"
#include "platform/folder_watcher.h"
#include "platform/paths.h"

namespace qv {
namespace {

const QString kWatchName = QStringLiteral("qvLibraryWatch");
constexpr int kSettleMs = 300;

// Lists one changed folder; the subfolders new to the tree are walked whole
// afterwards, on a worker (a collection moved in may hold thousands of files).
class RefreshWalk final : public FolderWalk {
  public:
    RefreshWalk(ProgramState& state, TreeView& tree, const QString& root)
        : state_(state), tree_(tree), root_(root) {}

    QSet<QString> met;       // the media files of the folder listed
    QStringList added;       // files new to the tree, in walk order
    QStringList folders;     // every folder met, to be watched
    QStringList newFolders;  // subfolders without a node, to be walked whole

  protected:
    void FolderMet(const QString&, const QString& FullPath, bool) override {
        folders.append(FullPath);
        if (!tree_.Node(FullPath)) newFolders.append(FullPath);
    }
    void MediaMet(const QString& FullPath, const QString& Extension) override {
        met.insert(FullPath);
        if (tree_.Node(FullPath)) return;
        AddCanonicalMediaNode(state_, tree_, FullPath, Extension, root_, false);
        if (tree_.Node(FullPath)) added.append(FullPath);
    }

  private:
    ProgramState& state_;
    TreeView& tree_;
    const QString root_;
};

class LibraryWatch final : public QObject {
  public:
    LibraryWatch(ProgramState& state, frmQuorvane& form)
        : QObject(&form),
          state_(state),
          tree_(*form.TV1),
          // The system's watches are added on the watcher's thread: for a
          // library of 10,000 folders that takes a good part of the time
          // the window would not answer, at the start and at a scan's end.
          watcher_({[this](const QStringList& folders) {
                        for (const QString& folder : folders) changed_.insert(folder);
                        settle_.start(kSettleMs);
                    },
                    [this](qsizetype refused) { Refused(refused); }},
                   this) {
        setObjectName(kWatchName);
        settle_.setSingleShot(true);
        connect(&settle_, &QTimer::timeout, this, [this] { Refresh(); });
        if (!watcher_.Usable())
            std::fprintf(stderr,
                         "quorvane: the system gave no folder watch; changes to the library's "
                         "folders show at the next start or scan\n");
    }

    ~LibraryWatch() override {
        // A walk cut short by the program's end: what it showed is kept.
        if (!walk_) return;
        walk_->Stop();
        SaveWalked();
    }

    bool Settled() const { return watcher_.Settled(); }

    void Watch(const QStringList& folders) { watcher_.Add(folders); }

    void Unwatch(const QString& folder) { watcher_.RemoveBelow(folder); }

  private:
    void Refused(qsizetype refused) {
        if (refused == 0 || warned_) return;
        warned_ = true;
        std::fprintf(stderr,
                     "quorvane: the system lets no more folders be watched; %lld library "
                     "folders are not watched in this run (their changes show at the next "
                     "start or scan)\n",
                     static_cast<long long>(refused));
    }

    // The scan root whose node holds the folder, or, for a folder without a
    // node, the longest root holding it; "" when it is in no root.
    QString RootOf(const QString& folder) const {
        const TreeNode* node = tree_.Node(folder);
        while (node && !IsScanRootNode(tree_, node)) node = node->parent();
        if (node) return TreeView::Key(node);
        const TreeNode* roots = tree_.Node(QStringLiteral("SearchedMedia"));
        QString best;
        for (int i = 0; roots && i < roots->childCount(); ++i) {
            const QString root = TreeView::Key(roots->child(i));
            if (root.size() > best.size() && PathIsIn(folder, root))
                best = root;
        }
        return best;
    }

    void Refresh() {
        if (ScanRunning(state_)) {
            settle_.start(kSettleMs);
            return;
        }
        const QSet<QString> changed = std::exchange(changed_, {});
        for (const QString& folder : changed) RefreshFolder(folder);
        WalkNext();
    }

    // The new folders' walks, one at a time and never beside a scan's: their
    // files join the tree a batch at a time and go to MediaDB.db at the end.
    void WalkNext() {
        if (walk_ || pending_.empty()) return;
        if (ScanRunning(state_)) {
            settle_.start(kSettleMs);
            return;
        }
        auto [root, folder] = pending_.front();
        pending_.pop_front();
        walkRoot_ = root;
        walkFolders_ = {};
        walkAdded_ = {};
        walk_ = std::make_unique<FolderWalkThread>(FolderWalkThread::Handlers{
            [this](const WalkFind& find) {
                if (find.kind == WalkFind::Folder) {
                    walkFolders_.append(find.path);
                } else if (!tree_.Node(find.path)) {
                    AddCanonicalMediaNode(state_, tree_, find.path, find.detail, walkRoot_, false,
                                          &cursor_);
                    if (tree_.Node(find.path)) walkAdded_.append(find.path);
                }
            },
            [this] {
                tree_.Attach();
                cursor_.clear();
            },
            [this](const QStringList&) {
                SaveWalked();
                Watch(walkFolders_);
                // Not from within the walk's own handler.
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        walk_.reset();
                        WalkNext();
                    },
                    Qt::QueuedConnection);
            },
            {}});
        walk_->Start(folder, true);
    }

    void SaveWalked() { Save(walkRoot_, std::exchange(walkAdded_, {})); }

    // Files new to the tree go to MediaDB.db, through the library file's writer.
    void Save(const QString& root, const QStringList& added) {
        if (added.isEmpty()) return;
        LibraryFileOf(state_).Append(root, added, [&state = state_](bool saved) {
            if (!saved) ReportNotSaved(state, MediaDBPath(state));
        });
    }

    void RefreshFolder(const QString& folder) {
        tree_.Attach();
        const QString root = RootOf(folder);
        if (root.isEmpty()) {
            Unwatch(folder);
            return;
        }
        TreeNode* node = tree_.Node(folder);
        if (!FileOrFolderExists(folder) || FileExists(folder)) {
            Unwatch(folder);
            // Its parent's change takes the node away with the others.
            return;
        }
        RefreshWalk walk(state_, tree_, root);
        walk.Walk(folder, false);
        node = tree_.Node(folder);
        if (node) {
            for (int i = node->childCount() - 1; i >= 0; --i) {
                TreeNode* child = node->child(i);
                const QString key = TreeView::Key(child);
                const bool gone = tree_.Image(child) == kImageFolder
                                      ? !FileOrFolderExists(key) || FileExists(key)
                                      : !walk.met.contains(key);
                if (gone) {
                    Unwatch(key);
                    RemoveTreeNode(state_, tree_, child);
                }
            }
            // Folder nodes stand only for media below them; a root stays.
            while (node && node->childCount() == 0 && !IsScanRootNode(tree_, node)) {
                TreeNode* up = node->parent();
                RemoveTreeNode(state_, tree_, node);
                node = up;
            }
        }
        Save(root, walk.added);
        Watch(walk.folders);
        for (const QString& added : std::as_const(walk.newFolders)) pending_.push_back({root, added});
    }

    ProgramState& state_;
    TreeView& tree_;
    QSet<QString> changed_;
    QTimer settle_;
    bool warned_ = false;
    // New folders waiting for their walk (root, folder), and the walk under way.
    std::deque<std::pair<QString, QString>> pending_;
    QString walkRoot_;
    QStringList walkFolders_, walkAdded_;
    FolderCursor cursor_;
    std::unique_ptr<FolderWalkThread> walk_;
    FolderWatcher watcher_;  // last: its handlers use the members above
};

LibraryWatch* FindWatch(ProgramState& state) {
    if (!state.mainForm) return nullptr;
    return state.mainForm->findChild<LibraryWatch*>(kWatchName, Qt::FindDirectChildrenOnly);
}

// The folder and the folder nodes below it.
void CollectFolders(const TreeView& tree, const TreeNode* node, QStringList& out) {
    out.append(TreeView::Key(node));
    for (int i = 0; i < node->childCount(); ++i)
        if (tree.Image(node->child(i)) == kImageFolder) CollectFolders(tree, node->child(i), out);
}

}  // namespace

void StartWatching(ProgramState& state) {
    if (!state.mainForm || FindWatch(state)) return;
    if (state.ini.ReadIni(QStringLiteral("Quorvane"), QStringLiteral("WatchFolders")).trimmed() ==
        u"0")
        return;
    auto* watch = new LibraryWatch(state, *state.mainForm);
    TreeView& tree = *state.mainForm->TV1;
    tree.Attach();
    QStringList folders;
    const TreeNode* roots = tree.Node(QStringLiteral("SearchedMedia"));
    for (int i = 0; roots && i < roots->childCount(); ++i)
        CollectFolders(tree, roots->child(i), folders);
    watch->Watch(folders);
}

void WatchFoldersBelow(ProgramState& state, const QString& folder) {
    LibraryWatch* watch = FindWatch(state);
    if (!watch) return;
    TreeView& tree = *state.mainForm->TV1;
    tree.Attach();
    const TreeNode* node = tree.Node(folder);
    if (!node) return;
    QStringList folders;
    CollectFolders(tree, node, folders);
    watch->Watch(folders);
}

bool WatchSettled(ProgramState& state) {
    const LibraryWatch* watch = FindWatch(state);
    return !watch || watch->Settled();
}

void UnwatchFoldersBelow(ProgramState& state, const QString& folder) {
    if (LibraryWatch* watch = FindWatch(state)) watch->Unwatch(folder);
}

}  // namespace qv
