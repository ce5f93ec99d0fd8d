// Fuzz target of the playlist-file loader: the input is a ".lst" file, loaded
// into a real program (main window, playlist box) on the offscreen platform.
// The entries added name existing files, and both stores of the playlist agree.
#include <QApplication>
#include <QFileInfo>

#include "app/frm_quorvane.h"
#include "app/tree_view.h"
#include "fuzz_media.h"
#include "playlist/cls_playlist.h"
#include "playlist/playlist_file.h"
#include "support/test_program.h"

namespace {

qvtest::TestProgram* program = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    qvfuzz::MediaFolder();
    program = new qvtest::TestProgram;  // lives as long as the process
    program->MakeObjects();
    qv::TreeView& tree = *program->state->mainForm->TV1;
    tree.AddNode("", "root", QStringLiteral("全てのメディア"), 1);
    tree.AddNode("root", "RegisteredPlayList", QStringLiteral("登録済みプレイリスト"), 2);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qv::ProgramState& state = *program->state;
    const QString path = program->folder() + QStringLiteral("input.lst");
    if (!qvfuzz::WriteFile(path, qvfuzz::Bytes(data, size)))
        qvfuzz::Fail("cannot write the input file", path);

    const int32_t added = qv::LoadPlayListFile(state, path);
    if (!state.mainForm->TV1->Node(path)) qvfuzz::Fail("no node for the playlist file");
    const int records = state.PlayListData.IsEmpty() ? 0 : state.PlayListData.Count();
    if (added != records || state.objPlayList->ListCount() != records)
        qvfuzz::Fail("entries, records and lines differ");
    for (int i = 0; i < records; ++i) {
        const QString& f = state.PlayListData[i].FilePath;
        if (!QFileInfo(f).isFile()) qvfuzz::Fail("an entry names no file", f);
        if (state.objPlayList->GetList(i).isEmpty()) qvfuzz::Fail("an entry has no line text", f);
    }
    QCoreApplication::processEvents();
    state.objPlayList->Clear();
    state.PlayListData.Reset();
    return 0;
}
