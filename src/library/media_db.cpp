// The library file and the nodes made from it. Duplicates are told by whole
// lines through a hash set, so saving stays quick with a library of 100,000
// lines and a new file is never mistaken for known because its path is part
// of a longer stored one.
#include "library/media_db.h"

#include <malloc.h>
#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <atomic>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "app/pictures.h"
#include "app/program_state.h"
#include "app/tree_view.h"
#include "platform/filesystem.h"
#include "platform/media_kinds.h"
#include "platform/paths.h"
#include "platform/textfile.h"
#include "platform/thread_name.h"

namespace qv {
namespace {

const QString kSearchedMedia = QStringLiteral("SearchedMedia");

// The key of the folder node that a path prefix names: the prefix itself,
// except that the file-system root (an empty prefix) is keyed "/".
QString FolderKey(const QString& prefix) {
    return prefix.isEmpty() ? QStringLiteral("/") : prefix;
}

// Where the walk along a path starts: the separator right after the root.
qsizetype WalkStart(const QString& root) {
    return root == u"/" ? 0 : root.size();
}

// The longest root read so far that holds the path as a folder, or "" when none does.
QString LongestRoot(const QSet<QString>& roots, const QString& path) {
    for (qsizetype slash = path.lastIndexOf(u'/'); slash >= 0;
         slash = slash == 0 ? -1 : path.lastIndexOf(u'/', slash - 1)) {
        const QString key = FolderKey(path.left(slash));
        if (roots.contains(key)) return key;
    }
    return QString();
}

// A line as a scan wrote it: an absolute path in its cleaned form, which is
// canonical already when its file still exists.
bool PlainLine(const QString& line) {
    return line.size() > 1 && line.startsWith(u'/') && IsCleanPath(line);
}

// A name's UTF-8 bytes, as the system spells it, in buffer when they fit
// there (no allocation for each of a library's lines), else in spill.
QByteArrayView NameBytes(QStringView name, char (&buffer)[256], QByteArray& spill) {
    char* d = buffer;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        // A surrogate, or more than a name can hold: the general encoder.
        if (QChar::isSurrogate(u) || d + 3 > buffer + sizeof buffer) {
            spill = QFile::encodeName(name.toString());
            return spill;
        }
        if (u < 0x80) {
            *d++ = static_cast<char>(u);
        } else if (u < 0x800) {
            *d++ = static_cast<char>(0xC0 | u >> 6);
            *d++ = static_cast<char>(0x80 | (u & 0x3F));
        } else {
            *d++ = static_cast<char>(0xE0 | u >> 12);
            *d++ = static_cast<char>(0x80 | (u >> 6 & 0x3F));
            *d++ = static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return QByteArrayView(buffer, d - buffer);
}

// Whether each plain line's file is still there, told by its folder's listing
// (each folder read once for all of its lines), found on a worker while the
// load goes on with the lines before: the listings are much of a large
// library's load, and the nodes the rest.
class LineChecks {
  public:
    enum Answer : char { Unknown, There, Gone };

    explicit LineChecks(const QStringList& lines)
        : lines_(lines), answers_(static_cast<size_t>(lines.size()), Unknown) {
        worker_ = std::thread([this] {
            NameThisThread("qv-line-checks");
            Run();
        });
    }
    ~LineChecks() {
        stop_ = true;
        worker_.join();
    }
    LineChecks(const LineChecks&) = delete;
    LineChecks& operator=(const LineChecks&) = delete;

    // The answer for line i, once the worker has it.
    Answer Wait(qsizetype i) {
        for (qsizetype done = done_.load(std::memory_order_acquire); done <= i;
             done = done_.load(std::memory_order_acquire))
            done_.wait(done, std::memory_order_acquire);
        return answers_[static_cast<size_t>(i)];
    }

  private:
    void Run() {
        LastFolderNames folders;
        QString folder;  // of the line before
        QByteArray folderBytes;
        char buffer[256];
        QByteArray spill;
        const qsizetype n = lines_.size();
        for (qsizetype i = 0; i < n && !stop_; ++i) {
            const QString& line = lines_[i];
            if (PlainLine(line)) {
                const qsizetype slash = line.lastIndexOf(u'/');
                const QStringView lineFolder =
                    slash == 0 ? QStringView(u"/") : QStringView(line).left(slash);
                if (lineFolder != folder || folderBytes.isNull()) {
                    folder = lineFolder.toString();
                    folderBytes = QFile::encodeName(folder);
                }
                const QByteArrayView name =
                    NameBytes(QStringView(line).sliced(slash + 1), buffer, spill);
                if (const std::optional<bool> held = folders.Holds(folderBytes, name))
                    answers_[static_cast<size_t>(i)] = *held ? There : Gone;
            }
            // Told in batches: a wake-up per line would cost more than the line.
            if (i % 256 == 255) Publish(i + 1);
        }
        Publish(n);
    }
    void Publish(qsizetype done) {
        done_.store(done, std::memory_order_release);
        done_.notify_all();
    }

    const QStringList& lines_;
    std::vector<Answer> answers_;
    std::atomic<qsizetype> done_{0};
    std::atomic<bool> stop_{false};
    std::thread worker_;
};

// The canonical form of a path read from the file. A line as a scan wrote it
// is canonical already when its file still exists, as checks tells (or one
// stat); anything else goes through the full canonicalisation.
QString CanonicalLine(const QString& line, LineChecks::Answer check, FolderNames& names) {
    if (!PlainLine(line)) return GetLongPath(line, &names);
    if (check == LineChecks::There) return line;
    // Once a folder has been read for a deleted file, its other lines are
    // looked up in its names too, not asked of the system one by one.
    const QByteArray bytes = QFile::encodeName(line);
    const qsizetype slash = bytes.lastIndexOf('/');
    const QByteArray folder = slash == 0 ? QByteArray("/") : bytes.left(slash);
    const QByteArray file = bytes.mid(slash + 1);
    if (names.Listed(folder)) {
        bool known = false;
        const QByteArray name = names.StoredName(folder, file, &known);
        if (known && name.isEmpty()) return QString();
        if (known) return GetLongPath(QFile::decodeName(folder + '/' + name));
    }
    struct stat st;
    if (check == LineChecks::Unknown && ::stat(bytes.constData(), &st) == 0) return line;
    return GetLongPath(line, &names);
}

}  // namespace

QString MediaDBLinePath(const QString& line) {
    if (line.startsWith(u'[')) return line.size() < 2 ? QString() : line.mid(1, line.size() - 2);
    return line;
}

QString MediaDBHeader(const QString& root) {
    return u'[' + root + u']';
}

QString MediaDBPath(const ProgramState& state) {
    return state.ini.GetAppPath() + QStringLiteral("MediaDB.db");
}

QString SearchRootOf(const QString& canonicalPath) {
    if (canonicalPath.size() > 1 && canonicalPath.endsWith(u'/')) return canonicalPath.chopped(1);
    return canonicalPath;
}

void AddRootNode(TreeView& tree, const QString& root) {
    if (root.isEmpty()) return;
    tree.AddNode(kSearchedMedia, root, root, kImageFolder, Placement::ByName);
}

void AddCanonicalMediaNode(ProgramState& state, TreeView& tree, const QString& FullPath,
                           const QString& Extension, const QString& root, bool record,
                           FolderCursor* cursor) {
    qsizetype pos = WalkStart(root);
    const qsizetype fileSlash = FullPath.lastIndexOf(u'/');
    // Every folder level of this file was made or found by the previous call.
    const bool sameFolder = cursor && fileSlash >= pos && !cursor->folder.isEmpty() &&
                            QStringView(FullPath).left(fileSlash) == cursor->folder;
    if (sameFolder) pos = fileSlash;
    for (;;) {
        const qsizetype p1 = FullPath.indexOf(u'/', pos);
        if (p1 < 0) return;
        const qsizetype p2 = FullPath.indexOf(u'/', p1 + 1);
        if (p2 >= 0) {
            // A folder level; an existing key is used wherever it hangs.
            const NodeResult r =
                tree.AddNode(FolderKey(FullPath.left(p1)), FullPath.left(p2),
                             FullPath.mid(p1 + 1, p2 - p1 - 1), kImageFolder, Placement::ByName);
            if (r == NodeResult::ParentNotFound) return;
            pos = p2;
            continue;
        }
        TreeNode* parent = sameFolder ? cursor->node : tree.Node(FolderKey(FullPath.left(p1)));
        if (cursor && !sameFolder) {
            cursor->folder = FullPath.left(p1);
            cursor->node = parent;
        }
        if (record) {
            if (state.strFoundMedia.isEmpty() || !state.strFoundMedia.first().isEmpty()) {
                state.strFoundMedia.append(FullPath);
            } else {
                state.strFoundMedia.last() = FullPath;
            }
        }
        const int image = MediaImage(Extension);
        // A folder without a node (its parent key missing) gets no file nodes.
        if (image != 0 && parent) {
            TreeNode* node = nullptr;
            tree.AddNodeUnder(parent, FullPath, FullPath.mid(p1 + 1), image, Placement::ByName,
                              &node);
            // What a scan meets stays at its end (tree_upkeep.h).
            if (record) tree.Mark(node);
        }
        return;
    }
}

void AddMediaNode(ProgramState& state, TreeView& tree, QString& FullPath,
                  const QString& Extension) {
    FullPath = GetLongPath(FullPath);
    if (FullPath.isEmpty()) return;
    AddCanonicalMediaNode(state, tree, FullPath, Extension, state.strSearchRoot, true);
}

bool SaveMediaDB(ProgramState& state) {
    return AppendToMediaDBFile(MediaDBPath(state), state.strSearchRoot, state.strFoundMedia);
}

namespace {

// Lines told apart through a table of their hashes, the lines kept where they
// are: no allocation for each of the hundreds of thousands of lines a large
// library's file holds, and one block the system takes back when it goes.
class LineSet {
  public:
    // False when an equal line is in already; line must outlive the set.
    bool Insert(const QString& line) {
        if ((count_ + 1) * 2 > slots_.size()) Reserve(1);
        const Slot slot{&line, qHash(QStringView(line))};
        const size_t mask = slots_.size() - 1;
        for (size_t i = slot.hash & mask;; i = (i + 1) & mask) {
            if (!slots_[i].line) {
                slots_[i] = slot;
                ++count_;
                return true;
            }
            if (slots_[i].hash == slot.hash && *slots_[i].line == line) return false;
        }
    }
    // Room for `more` lines beyond those in, at most half the table full.
    void Reserve(qsizetype more) {
        const size_t want = (count_ + static_cast<size_t>(more)) * 2;
        if (want <= slots_.size()) return;
        size_t size = 16;
        while (size < want) size <<= 1;
        const std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(size));
        for (const Slot& slot : old) {
            if (!slot.line) continue;
            size_t i = slot.hash & (size - 1);
            while (slots_[i].line) i = (i + 1) & (size - 1);
            slots_[i] = slot;
        }
    }

  private:
    struct Slot {
        const QString* line = nullptr;
        size_t hash = 0;
    };
    std::vector<Slot> slots_;
    size_t count_ = 0;
};

// What tells one state of a file from another: a change made by anyone
// changes its size or its time, a replacement its inode.
struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};

    static FileStamp Of(const QString& path) {
        FileStamp stamp;
        struct stat st;
        if (::stat(QFile::encodeName(path).constData(), &st) != 0) return stamp;
        stamp = {true, st.st_dev, st.st_ino, st.st_size, st.st_mtim};
        return stamp;
    }
    bool operator==(const FileStamp& o) const {
        return exists == o.exists && device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
    }
};

}  // namespace

struct MediaDBLines {
    QString path;
    FileStamp stamp;  // taken before the read: a change during it shows
    QStringList lines;
    LineSet known;
    QString lastHeader;

    // False when the file is there but cannot be read.
    bool Read() {
        stamp = FileStamp::Of(path);
        if (stamp.exists) {
            std::optional<QStringList> read = ReadTextFile(path, MediaDBLinePath);
            // Appending blind would write every known path again.
            if (!read) return false;
            lines = std::move(*read);
        }
        known.Reserve(lines.size());
        for (const QString& line : std::as_const(lines)) known.Insert(line);
        for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
            if (it->startsWith(u'[')) {
                lastHeader = *it;
                break;
            }
        }
        return true;
    }
};

void MediaDBLinesEnd::operator()(MediaDBLines* lines) const {
    delete lines;
}

MediaDBAhead ReadMediaDBAhead(const QString& path) {
    MediaDBAhead read(new MediaDBLines);
    read->path = path;
    if (!read->Read()) return nullptr;
    return read;
}

bool AppendToMediaDBFile(const QString& path, const QString& root, const QStringList& found,
                         MediaDBAhead ahead) {
    // Read anew unless the lines read ahead are still the file's.
    if (!ahead || ahead->path != path || !(FileStamp::Of(path) == ahead->stamp)) {
        ahead = ReadMediaDBAhead(path);
        if (!ahead) return false;
    }
    const QStringList& previous = ahead->lines;
    LineSet& known = ahead->known;
    QString lastHeader = ahead->lastHeader;
    known.Reserve(found.size() + 1);

    const QString header = MediaDBHeader(root);
    // The new lines go straight into the bytes written: each path is looked
    // at once, for the set and for its encoding.
    QByteArray out;
    qsizetype estimate = header.size() + 4;
    for (const QString& line : found) estimate += line.size() + 2;
    out.reserve(estimate);
    if (known.Insert(header)) {
        AppendTextLine(header, &out);
        lastHeader = header;
    }
    bool emptyWritten = false;
    for (const QString& line : found) {
        if (line.isEmpty()) {
            // Only a file that had no content at all gets the empty line.
            if (previous.isEmpty() && !emptyWritten) AppendTextLine(QString(), &out);
            emptyWritten = true;
            continue;
        }
        if (!known.Insert(line)) continue;
        // Paths stay under their own root's header, or the reader would walk
        // them from another root and lose them.
        if (lastHeader != header) {
            AppendTextLine(header, &out);
            lastHeader = header;
        }
        AppendTextLine(line, &out);
    }
    if (out.isEmpty()) return true;
    return AppendTextBytes(path, out);
}

namespace {

// The nodes of the library file's lines.
void AddLines(ProgramState& state, TreeView& tree, QStringList& lines) {
    QSet<QString> roots;
    // Lines of deleted files list their folders: each folder once, not once a line.
    FolderNames names;
    FolderCursor lastFolder;
    QString lastRoot;
    // No events run during the load: the nodes join the tree in one step.
    const TreeView::Batch batch(tree);
    // Each path line is let go once its node is made, so that the lines and
    // the nodes made of them are not all held at once.
    QString* const held = lines.data();
    LineChecks checks(lines);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.isEmpty()) continue;
        if (line.startsWith(u'[')) {
            // The last character is the closing bracket (dropped whatever it
            // is); a lone "[" names nothing and is passed over.
            if (line.size() < 2) continue;
            state.strSearchRoot = SearchRootOf(GetLongPath(line.mid(1, line.size() - 2), &names));
            AddRootNode(tree, state.strSearchRoot);
            if (!state.strSearchRoot.isEmpty()) roots.insert(state.strSearchRoot);
            lastFolder.clear();
            continue;
        }
        // The worker is done with the line once it has answered for it.
        const QString canonical = CanonicalLine(line, checks.Wait(i), names);
        held[i] = QString();
        if (canonical.isEmpty()) continue;
        // A line in the folder of the line before has that line's root.
        const qsizetype slash = canonical.lastIndexOf(u'/');
        QString root = !lastFolder.folder.isEmpty() && slash == lastFolder.folder.size() &&
                               canonical.startsWith(lastFolder.folder)
                           ? lastRoot
                           : LongestRoot(roots, canonical);
        if (root.isEmpty()) root = state.strSearchRoot;
        if (root != lastRoot) lastFolder.clear();
        lastRoot = root;
        AddCanonicalMediaNode(state, tree, canonical, GetExtension(canonical).toUpper(), root,
                              false, &lastFolder);
    }
}

}  // namespace

void LoadMediaDB(ProgramState& state, TreeView& tree) {
    const QString path = MediaDBPath(state);
    if (!QFileInfo::exists(path)) return;
    {
        std::optional<QStringList> lines = ReadTextFile(path, MediaDBLinePath);
        if (!lines) return;
        AddLines(state, tree, *lines);
    }
#ifdef __GLIBC__
    // The file's lines, tens of megabytes in a large library, were freed
    // below the nodes made after them: the heap cannot shrink past those on
    // its own, so the free pages go back to the system here.
    malloc_trim(0);
#endif
}

}  // namespace qv
