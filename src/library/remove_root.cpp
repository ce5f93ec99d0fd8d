// The removal of a scan root. MediaDB.db is otherwise only appended to; this
// is the one rewrite, and it keeps every other line byte for byte, so the
// file reads the same for the Windows program, less that root.
#include "library/remove_root.h"

#include <QFile>

#include "app/frm_quorvane.h"
#include "app/program_state.h"
#include "app/save_failures.h"
#include "app/tree_view.h"
#include "library/folder_watch.h"
#include "library/library_file.h"
#include "library/media_db.h"
#include "library/scan.h"
#include "library/tree_upkeep.h"
#include "platform/paths.h"
#include "platform/textcodec.h"
#include "platform/textfile.h"

namespace qv {
namespace {

// The scan root a path shows under: the root above the path's own node, or,
// for a path without a node (a deleted file, a folder without media), the
// longest root whose folder holds it; "" when none does.
class Owners {
  public:
    explicit Owners(const TreeView& tree)
        : tree_(tree), searched_(tree.Node(QStringLiteral("SearchedMedia"))) {
        for (int i = 0; searched_ && i < searched_->childCount(); ++i)
            roots_.append(TreeView::Key(searched_->child(i)));
    }

    QString Of(const QString& path) const {
        const TreeNode* node = tree_.Node(path);
        while (node && node->parent() && node->parent() != searched_) node = node->parent();
        if (node && node->parent() == searched_) return TreeView::Key(node);
        QString best;
        for (const QString& root : roots_)
            if (root.size() > best.size() && PathIsIn(path, root)) best = root;
        return best;
    }

  private:
    const TreeView& tree_;
    const TreeNode* searched_;
    QStringList roots_;
};

}  // namespace

bool IsScanRootNode(const TreeView& tree, const TreeNode* node) {
    return node && node->parent() && node->parent() == tree.Node(QStringLiteral("SearchedMedia"));
}

bool ForgetRootInMediaDB(ProgramState& state, const TreeView& tree, const QString& root) {
    QFile file(MediaDBPath(state));
    if (!file.exists()) return true;
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) return false;
    file.close();
    const QList<QByteArray> raw = SplitRawLines(data);
    const QStringList lines = SplitTextLines(data, MediaDBLinePath);
    const Owners owners(tree);
    QList<QByteArray> kept;
    kept.reserve(raw.size());
    bool changed = false, sectionGone = false;
    QString lastHeader;  // the root of the last header kept
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.startsWith(u'[')) {
            const QString folder = SearchRootOf(MediaDBLinePath(line));
            sectionGone = !folder.isEmpty() && owners.Of(folder) == root;
            changed |= sectionGone;
            if (sectionGone) continue;
            lastHeader = folder;
        } else if (!line.isEmpty()) {
            const QString owner = owners.Of(line);
            if (owner == root) {
                changed = true;
                continue;
            }
            // Read from the header before it, which is gone, the line would
            // be walked from another root at the next start.
            if (sectionGone && !owner.isEmpty() && owner != lastHeader) {
                kept.append(EncodeLine(MediaDBHeader(owner)));
                lastHeader = owner;
            }
        }
        kept.append(raw[i]);
    }
    return !changed || WriteRawLines(file.fileName(), kept);
}

void mnRemoveRoot_Click(ProgramState& state) {
    if (!state.mainForm || ScanRunning(state)) return;
    TreeView& tree = *state.mainForm->TV1;
    TreeNode* node = tree.Node(state.strClickedPath);
    if (!IsScanRootNode(tree, node)) return;
    // The file first: a root the file still names would come back at the next
    // start. The appends asked for before are in it by then.
    if (state.libraryFile) state.libraryFile->Finish();
    if (!ForgetRootInMediaDB(state, tree, state.strClickedPath)) {
        ReportNotSaved(state, MediaDBPath(state));
        return;
    }
    UnwatchFoldersBelow(state, state.strClickedPath);
    RemoveTreeNode(state, tree, node);
}

}  // namespace qv
