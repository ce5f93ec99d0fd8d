// Fuzz target of the library-file loader: the input is MediaDB.db in the
// program folder, loaded into a real tree widget on the offscreen platform.
// Every node it makes hangs under the scanned-media node with a key of its own.
#include <QApplication>
#include <QTreeWidgetItem>

#include "app/tree_view.h"
#include "fuzz_media.h"
#include "library/media_db.h"
#include "support/test_program.h"

namespace {

qvtest::TestProgram* program = nullptr;

int CountBelow(const QTreeWidgetItem* node) {
    int n = 0;
    for (int i = 0; i < node->childCount(); ++i) {
        const QTreeWidgetItem* child = node->child(i);
        if (qv::TreeView::Key(child).isEmpty()) qvfuzz::Fail("a node without a key");
        n += 1 + CountBelow(child);
    }
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    qvfuzz::MediaFolder();
    program = new qvtest::TestProgram;  // lives as long as the process
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qv::ProgramState& state = *program->state;
    const QString path = qv::MediaDBPath(state);
    if (!qvfuzz::WriteFile(path, qvfuzz::Bytes(data, size)))
        qvfuzz::Fail("cannot write the input file", path);
    state.strSearchRoot.clear();
    state.strFoundMedia = QStringList{QString()};

    qv::TreeView tree;
    tree.AddNode(QString(), "root", QStringLiteral("全てのメディア"), 1);
    tree.AddNode("root", "RegisteredPlayList", QStringLiteral("登録済みプレイリスト"), 2);
    tree.AddNode("root", "SearchedMedia", QStringLiteral("検索されたメディア"), 3);
    qv::LoadMediaDB(state, tree);

    const int below = CountBelow(tree.Node("SearchedMedia"));
    // Three fixed nodes, and everything the file made below the third.
    if (tree.NodeCount() != 3 + below) qvfuzz::Fail("nodes outside the scanned-media node");
    if (state.strFoundMedia != QStringList{QString()})
        qvfuzz::Fail("loading recorded paths as found by a scan");
    return 0;
}
