// The find bar's wiring. Hidden lines are only hidden: the playlist's
// records, PlayingID, the selection, moves, shuffle and saving go on seeing
// the whole list.
#include "program/find_wiring.h"

#include <QAbstractItemModel>
#include <QFileInfo>
#include <QHash>
#include <QKeySequence>
#include <QListWidget>
#include <QShortcut>
#include <QTimer>
#include <vector>

#include "app/find_bar.h"
#include "app/find_filter.h"
#include "app/frm_quorvane.h"
#include "app/playlist_data.h"
#include "app/program_state.h"
#include "app/tree_view.h"
#include "platform/filesystem.h"
#include "platform/find_text.h"
#include "platform/media_kinds.h"
#include "playlist/cls_playlist.h"
#include "playlist/playlist_edit.h"
#include "tags/tags.h"

namespace qv {
namespace {

class FindWiring : public QObject {
  public:
    FindWiring(ProgramState& state, frmQuorvane& form)
        : QObject(&form),
          state_(state),
          form_(form),
          tree_(new TreeFilter(form.TV1)),
          list_(form.lstPL) {
        setObjectName(QStringLiteral("findWiring"));
        FindBar& bar = *form.fraFind;
        auto* open = new QShortcut(QKeySequence::Find, &form);
        connect(open, &QShortcut::activated, this, [this, &bar] {
            bar.Open();
            tree_->Prepare();
        });
        connect(&bar, &FindBar::queryChanged, this, &FindWiring::Filter);
        connect(&bar, &FindBar::accepted, this, &FindWiring::PlayFirst);
        connect(&bar, &FindBar::closed, this, [this] {
            tree_->Clear();
            list_.Apply(QString(), {});
            ShowAllLines();
        });
        // Lines and nodes that come or go under a query are filtered too, a
        // moment later, so a scan adding thousands is filtered once a while.
        again_.setSingleShot(true);
        again_.setInterval(150);
        connect(&again_, &QTimer::timeout, this, &FindWiring::Filter);
        const auto later = [this] {
            if (!form_.fraFind->isHidden() && !form_.fraFind->Query().isEmpty()) again_.start();
        };
        connect(tree_, &TreeFilter::changed, this, later);
        QAbstractItemModel* lines = form.lstPL->model();
        connect(lines, &QAbstractItemModel::rowsInserted, this, later);
        connect(lines, &QAbstractItemModel::rowsRemoved, this, later);
        connect(lines, &QAbstractItemModel::dataChanged, this, later);
        connect(lines, &QAbstractItemModel::modelReset, this, later);
    }

  private:
    void Filter() {
        const QString query = form_.fraFind->Query();
        tree_->Apply(query);
        list_.Apply(query, query.isEmpty() ? std::vector<QString>() : Haystacks());
        if (query.isEmpty()) ShowAllLines();
    }

    // Enter: the first line found plays; with none, the first media file the
    // tree found is added (or found in the list) and plays.
    void PlayFirst() {
        const QString query = form_.fraFind->Query();
        if (query.isEmpty()) return;
        int row = list_.Apply(query, Haystacks());
        if (row < 0) {
            for (TreeNode* node : tree_->Apply(query)) {
                const QString path = TreeView::Key(node);
                if (!IsMediaKind(EntryExtension(path)) || !FileExists(path)) continue;
                state_.objPlayList->AddToPlayList(path);
                row = RowOf(path);
                break;
            }
        }
        if (row < 0) return;
        state_.objPlayList->SetListIndex(row);
        lstPL_DblClick(state_);
    }

    int RowOf(const QString& path) const {
        const PlayListArray& records = state_.PlayListData;
        if (records.IsEmpty()) return -1;
        for (int i = 0; i < records.Count(); ++i) {
            if (records[i].FilePath == path) return i;
        }
        return -1;
    }

    // What each line is found by, folded: its text, its file's name and its
    // tags. Tags are read once per path, all new ones together.
    std::vector<QString> Haystacks() {
        const PlayListArray& records = state_.PlayListData;
        std::vector<QString> haystacks;
        if (records.IsEmpty()) return haystacks;
        QStringList unread;
        for (const PlayListItem& item : records.Items()) {
            if (!tagWords_.contains(item.FilePath)) unread << item.FilePath;
        }
        if (!unread.isEmpty()) {
            const std::vector<std::optional<TagInfo>> tags = ReadTagsOfFiles(unread);
            for (int i = 0; i < unread.size(); ++i) {
                const std::optional<TagInfo>& tag = tags[static_cast<size_t>(i)];
                tagWords_.insert(unread[i], tag ? FoldForFind(tag->Title + u'\n' + tag->Artist +
                                                              u'\n' + tag->Album)
                                                : QString());
            }
        }
        haystacks.reserve(records.Items().size());
        for (const PlayListItem& item : records.Items()) {
            haystacks.push_back(
                FoldForFind(item.DisplayName + u'\n' + QFileInfo(item.FilePath).fileName()) +
                u'\n' + tagWords_.value(item.FilePath));
        }
        return haystacks;
    }

    // Rows can be hidden past the records' end when lines went while the
    // query held; none of them stays hidden without a query.
    void ShowAllLines() {
        for (int row = 0; row < form_.lstPL->count(); ++row) {
            if (form_.lstPL->isRowHidden(row)) form_.lstPL->setRowHidden(row, false);
        }
    }

    ProgramState& state_;
    frmQuorvane& form_;
    TreeFilter* tree_;
    ListFilter list_;
    QTimer again_;
    QHash<QString, QString> tagWords_;
};

}  // namespace

void ConnectFindBar(ProgramState& state, frmQuorvane& form) {
    if (form.findChild<QObject*>(QStringLiteral("findWiring"), Qt::FindDirectChildrenOnly)) return;
    new FindWiring(state, form);
}

}  // namespace qv
