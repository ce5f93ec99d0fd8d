// The library walk over FolderWalkThread. The worker announces every folder
// entry, even one it does not descend into; each announcement shows in the
// caption as the user-interface thread reaches it.
#include "library/search_media.h"

#include <QCoreApplication>
#include <QObject>
#include <QWidget>
#include <system_error>

#include "app/program_state.h"
#include "app/unstorable_paths.h"
#include "platform/thread_name.h"

namespace qv {

MediaSearch::MediaSearch(ProgramState& state, TreeView& tree, QWidget& window,
                         const QString& FolderPath, bool IncludeSubFolders,
                         std::function<void()> ended)
    : state_(state),
      tree_(tree),
      window_(window),
      ended_(std::move(ended)),
      scanning_(QCoreApplication::translate("Quorvane", "メディアをスキャン中... ")),
      batch_(std::in_place, tree),
      walk_({[this](const WalkFind& find) { Found(find); },
             [this] { TurnDone(); },
             [this](const QStringList& unstorable) { Ended(unstorable); },
             {}}) {
    walk_.Start(FolderPath, IncludeSubFolders);
}

MediaSearch::~MediaSearch() {
    walk_.Stop();
    if (writer_.joinable()) writer_.join();
}

void MediaSearch::Abort() {
    walk_.Abort();
}

void MediaSearch::EndNow() {
    if (writer_.joinable()) {
        // The walk is over and its write under way: answered here, not later.
        writer_.join();
        context_.reset();
        if (auto answered = std::exchange(answered_, {})) answered(written_);
        running_ = false;
        return;
    }
    if (!walk_.Running()) return;  // already ending
    walk_.Stop();
    endingNow_ = true;
    Ended({});
}

void MediaSearch::WriteThen(std::function<bool()> write, std::function<void(bool)> answered) {
    if (endingNow_) {
        answered(write());
        return;
    }
    answered_ = std::move(answered);
    context_ = std::make_unique<QObject>();
    QObject* context = context_.get();
    const auto run = [this, write, context] {
        written_ = write();
        QMetaObject::invokeMethod(
            context,
            [this] {
                writer_.join();
                if (auto answered = std::exchange(answered_, {})) answered(written_);
                running_ = false;
            },
            Qt::QueuedConnection);
    };
    try {
        writer_ = std::thread([run] {
            NameThisThread("qv-library-file");
            run();
        });
    } catch (const std::system_error&) {
        // No thread to be had: written here and now, as it used to be.
        context_.reset();
        std::exchange(answered_, {})(write());
    }
}

void MediaSearch::Found(const WalkFind& find) {
    if (find.kind == WalkFind::Folder) {
        window_.setWindowTitle(scanning_ + find.detail);
        lastFolder_.clear();
        return;
    }
    // The path is canonical already: the canonical root and the names
    // exactly as listed, of a file that existed when it was listed.
    AddCanonicalMediaNode(state_, tree_, find.path, find.detail, state_.strSearchRoot, true,
                          &lastFolder_);
}

void MediaSearch::TurnDone() {
    // What the window may show or be clicked on must be in the tree.
    tree_.Attach();
    // Nodes may be removed before the next turn (a click on a vanished path).
    lastFolder_.clear();
}

void MediaSearch::Ended(const QStringList& unstorable) {
    batch_.reset();  // the last files' nodes, before a message lets events run
    ReportUnstorablePaths(state_, &window_, unstorable);
    ended_();
    if (!writer_.joinable()) running_ = false;
}

}  // namespace qv
