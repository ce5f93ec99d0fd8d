// Reading, writing and registering playlist files. Writing goes through a
// temporary file, so a full disk or a read-only folder never costs the user
// the playlist that was there before.
#include "playlist/playlist_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

#include "app/controls.h"
#include "app/program_state.h"
#include "app/unstorable_paths.h"
#include "platform/filesystem.h"
#include "platform/media_kinds.h"
#include "platform/paths.h"
#include "platform/textfile.h"
#include "playback/mod_mci.h"
#include "playlist/cls_playlist.h"
#include "playlist/frm_save_pl.h"
#include "tags/tags.h"

namespace qv {

void AddPlayListNode(ProgramState& state, const QString& Path) {
    if (state.objPlayList) state.objPlayList->AddPlayListNode(Path);
}

namespace {

// The common line of a playlist: a file of a kind that takes its title from
// the tag, under a clean, visible path. Its file is opened once, and the
// open both passes the file test (only a regular file opens as a tag file) and
// reads the title.
bool IsTaggedLine(const QString& line) {
    return KindReadsTags(GetMediaType(line)) && IsCleanPath(line) &&
           !GetFileName(line).startsWith(u'.');
}

bool IsListedLine(const QString& line) {
    return !line.isEmpty() && !line.startsWith(QStringLiteral("//"));
}

// The path a listed line names, "" for another line. A relative line names a
// neighbour of the list file (a list moved with its music, or made with
// `find .`), whatever folder the program runs in; every path is cleaned, so
// that the list the program writes names the same files from anywhere.
QString ListedPath(const QString& listFolder, const QString& line) {
    if (!IsListedLine(line)) return QString();
    if (line.startsWith(u'/')) return IsCleanPath(line) ? line : QDir::cleanPath(line);
    return QDir::cleanPath(listFolder + u'/' + line);
}

}  // namespace

int32_t LoadPlayListFile(ProgramState& state, const QString& Path) {
    AddPlayListNode(state, Path);
    if (!FileExists(Path)) return 0;
    // The path also tells a line's spelling when its bytes read both as code
    // page 932 and as UTF-8.
    const QString folder = QFileInfo(Path).absolutePath();
    const auto pathOf = [&folder](const QString& line) { return ListedPath(folder, line); };
    std::optional<QStringList> lines = ReadTextFile(Path, pathOf);
    if (!lines) return 0;
    for (QString& line : *lines) line = pathOf(line);
    // The tagged lines' files are all read first, together; a line whose file
    // did not open falls to the file test below, as any other line does.
    QStringList tagged;
    for (const QString& line : *lines)
        if (IsListedLine(line) && !state.PlayListData.Contains(line) && IsTaggedLine(line))
            tagged.append(line);
    const std::vector<std::optional<TagInfo>> tags = ReadTagsOfFiles(tagged);
    qsizetype nextTag = 0;

    int32_t count = 0;
    state.PlayListData.Reserve(state.PlayListData.Count() + static_cast<int>(lines->size()));
    const clsPlayList::LineBatch batch(*state.objPlayList);
    for (const QString& line : *lines) {
        if (!IsListedLine(line)) continue;
        const std::optional<TagInfo>* tag =
            nextTag < tagged.size() && tagged[nextTag] == line ? &tags[nextTag++] : nullptr;
        // A known path adds nothing, whether its file is there or not (a line
        // listed twice was read twice above; its second read goes unused).
        if (state.PlayListData.Contains(line)) continue;
        if (tag && *tag) {
            state.objPlayList->AppendEntry(line, GetMediaType(line), (*tag)->Title);
            ++count;
            continue;
        }
        if (!FileExists(line)) continue;
        if (state.objPlayList->AddToPlayList(line)) ++count;
    }
    return count;
}

namespace {

// The records' paths, one a line; a line end would make a path come back as
// two lines naming other files, so such paths go to *unstorable instead.
QStringList StorableLines(const ProgramState& state, QStringList* unstorable) {
    QStringList lines;
    lines.reserve(state.PlayListData.Count());
    for (int i = 0; i < state.PlayListData.Count(); ++i) {
        const QString& path = state.PlayListData[i].FilePath;
        (HasLineEnd(path) ? *unstorable : lines).append(path);
    }
    return lines;
}

}  // namespace

bool SavePlayListFile(ProgramState& state, const QString& Path) {
    QStringList unstorable;
    const QStringList lines = StorableLines(state, &unstorable);
    ReportUnstorablePaths(state, state.MainWindow(), unstorable);
    if (!WriteTextFile(Path, lines)) return false;
    state.ini.WriteIni(QStringLiteral("File"), QStringLiteral("LastPlayList"), Path);
    return true;
}

bool WritePlayListCopy(ProgramState& state, const QString& Path) {
    QStringList unstorable;
    return WriteTextFile(Path, StorableLines(state, &unstorable));
}

QString LastPlayListPath(const ProgramState& state) {
    return PlayListFolder(state) + QStringLiteral("LastPlayList.lst");
}

QString RecoveryPath(const ProgramState& state) {
    return PlayListFolder(state) + QStringLiteral(".LastPlayList.recovery");
}

bool TakeOverRecoveryFile(const ProgramState& state) {
    // Renamed, not copied: the file was written whole through a rename, so
    // either it is there whole or it is not there at all.
    const QByteArray from = QFile::encodeName(RecoveryPath(state));
    const QByteArray to = QFile::encodeName(LastPlayListPath(state));
    return ::rename(from.constData(), to.constData()) == 0;
}

void RegisterPlayLists(ProgramState& state) {
    if (!state.savePL) return;
    const QString folder = PlayListFolder(state);
    for (const QString& name : state.savePL->File1->Names()) {
        AddPlayListNode(state, folder + name);
    }
}

}  // namespace qv
