// The folder listing behind every walk. Each folder is read whole and its
// entries taken in name order, so the library, the tree and a playlist built
// from a folder come out the same on every file system. Folders are remembered
// by device and inode, so a link to an ancestor or two links to one folder
// cannot make the walk go round for ever or list a folder twice.
#include "platform/folder_walk.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QFile>
#include <QScopeGuard>
#include <QVarLengthArray>
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/media_kinds.h"
#include "platform/name_order.h"
#include "platform/paths.h"

namespace qv {
namespace {

enum class EntryKind { Folder, File, Other };

// Hidden names (a leading ".", "." and ".." among them) are what the existence
// tests count as absent: taken, they would vanish again at the next start.
bool Skipped(const char* name) {
    return name[0] == '.' || !std::strcmp(name, "pagefile.sys");
}

// The kind of an entry, following symbolic links; Other for an entry that
// leads nowhere or is neither a folder nor a regular file. DT_UNKNOWN asks
// the file system anew.
EntryKind KindOf(unsigned char type, const QByteArray& prefix, const char* raw) {
    if (type == DT_DIR) return EntryKind::Folder;
    if (type == DT_REG) return EntryKind::File;
    if (type != DT_LNK && type != DT_UNKNOWN) return EntryKind::Other;
    struct stat st;
    if (::stat((prefix + raw).constData(), &st) != 0) return EntryKind::Other;
    if (S_ISDIR(st.st_mode)) return EntryKind::Folder;
    return S_ISREG(st.st_mode) ? EntryKind::File : EntryKind::Other;
}

// A name that is not valid in the file-name encoding decodes to another name,
// under which the entry cannot be reached.
bool Reachable(const QString& name, const char* raw) {
    return !name.contains(QChar::ReplacementCharacter) || QFile::encodeName(name) == raw;
}

// What a walk does with an entry.
enum class Take { Skip, Folder, Media, Unstorable };

// ext: the upper-cased extension of a file.
Take TakeOf(const QString& name, unsigned char type, const char* raw, const QByteArray& prefix,
            QString& ext) {
    const EntryKind kind = KindOf(type, prefix, raw);
    if (kind == EntryKind::Other) return Take::Skip;
    if (kind == EntryKind::File) ext = EntryExtension(name);
    if (!Reachable(name, raw) || HasLineEnd(name))
        return kind == EntryKind::Folder || IsMediaKind(ext) ? Take::Unstorable : Take::Skip;
    if (kind == EntryKind::Folder) return Take::Folder;
    return IsMediaKind(ext) ? Take::Media : Take::Skip;
}

// True while path still names the folder that was opened as `opened`.
bool StillThere(const QByteArray& path, const struct stat& opened) {
    struct stat now;
    return ::stat(path.constData(), &now) == 0 && now.st_dev == opened.st_dev &&
           now.st_ino == opened.st_ino;
}

}  // namespace

// A folder's entries, read whole and put in name order, kept from one folder
// to the next at the same level of the walk so that an entry costs no
// allocation beyond its decoded name. The sort moves pairs of numbers: the
// first four units of an entry's key, which settle nearly every comparison,
// and the entry's index; only names that agree that far have their whole
// keys written and compared.
class FolderWalk::Listing {
  public:
    struct Entry {
        QString name;   // decoded
        qsizetype raw;  // where the name as stored starts in raw_
        unsigned char type;
    };

    void Read(DIR* dir) {
        raw_.clear();
        entries_.clear();
        order_.clear();
        while (const dirent* entry = ::readdir(dir)) {
            if (Skipped(entry->d_name)) continue;
            const size_t length = std::strlen(entry->d_name);
            const qsizetype raw = qsizetype(raw_.size());
            raw_.append(entry->d_name, length + 1);  // with its NUL
            entries_.push_back({QFile::decodeName(QByteArray::fromRawData(entry->d_name, length)),
                                raw, entry->d_type});
        }
        order_.reserve(entries_.size());
        for (size_t i = 0; i < entries_.size(); ++i) order_.push_back({Head(entries_[i].name), i});
        std::sort(order_.begin(), order_.end(), [this](const Place& a, const Place& b) {
            return a.head != b.head ? a.head < b.head
                                    : Before(entries_[a.index], entries_[b.index]);
        });
    }

    size_t Count() const { return order_.size(); }
    // The entry at place i in name order.
    const Entry& At(size_t i) const { return entries_[order_[i].index]; }
    // The name as stored.
    const char* Raw(const Entry& entry) const { return raw_.data() + entry.raw; }

  private:
    struct Place {
        quint64 head;
        size_t index;
    };

    // Room for the key of name: a name holds at most 255 bytes, no byte
    // decodes to more than one unit, and a unit gives at most three.
    using KeySpace = QVarLengthArray<char16_t, 3 * 256>;

    // The first four units of the key, the first one highest, zeros after a
    // shorter key. A zero unit inside a key only ever follows the "0" of a
    // number, and no key ends with that "0", so heads keep the keys' order.
    static quint64 Head(const QString& name) {
        KeySpace key(3 * name.size());
        const qsizetype length = WriteNameOrderKey(name, key.data(), 4) - key.data();
        quint64 head = 0;
        for (qsizetype i = 0; i < 4; ++i) head = head << 16 | (i < length ? key[i] : 0);
        return head;
    }

    // Names whose keys agree (letter case, leading zeros) keep a fixed order
    // by their bytes.
    bool Before(const Entry& a, const Entry& b) const {
        KeySpace ka(3 * a.name.size()), kb(3 * b.name.size());
        const std::u16string_view keyA(ka.data(), WriteNameOrderKey(a.name, ka.data()) - ka.data());
        const std::u16string_view keyB(kb.data(), WriteNameOrderKey(b.name, kb.data()) - kb.data());
        const int byKey = keyA.compare(keyB);
        return byKey != 0 ? byKey < 0 : std::strcmp(Raw(a), Raw(b)) < 0;
    }

    std::string raw_;
    std::vector<Entry> entries_;
    std::vector<Place> order_;
};

FolderWalk::FolderWalk(bool arrangesFiles) : arrangesFiles_(arrangesFiles) {}
FolderWalk::~FolderWalk() = default;

std::vector<size_t> FolderWalk::MediaPlaces(const Listing& listing,
                                            const QByteArray& encodedPrefix) const {
    std::vector<size_t> places;
    for (size_t i = 0; i < listing.Count(); ++i) {
        const Listing::Entry& entry = listing.At(i);
        QString ext;
        if (TakeOf(entry.name, entry.type, listing.Raw(entry), encodedPrefix, ext) == Take::Media)
            places.push_back(i);
    }
    return places;
}

void FolderWalk::Walk(const QString& FolderPath, bool IncludeSubFolders) {
    QString folder = FolderPath;
    if (folder.size() > 1 && folder.endsWith(u'/')) folder.chop(1);
    if (HasLineEnd(folder)) {
        unstorable_.append(folder);
        return;
    }
    const QByteArray encoded = QFile::encodeName(folder);
    DIR* dir = ::opendir(encoded.constData());
    if (!dir) return;  // unreadable or gone: the walk goes on elsewhere
    struct stat opened;
    if (::fstat(::dirfd(dir), &opened) != 0 || entered_.contains({opened.st_dev, opened.st_ino})) {
        ::closedir(dir);
        return;
    }
    entered_.insert({opened.st_dev, opened.st_ino});
    if (listings_.size() <= depth_) listings_.push_back(std::make_unique<Listing>());
    Listing& listing = *listings_[depth_];
    listing.Read(dir);
    ++depth_;
    const auto leave = qScopeGuard([this] { --depth_; });

    const QString prefix = folder == u"/" ? folder : folder + u'/';
    const QByteArray encodedPrefix = QFile::encodeName(prefix);
    // Everything was listed before the first folder entry, which may take long
    // (its whole subtree). A folder met after one is opened anew anyway; a
    // file is looked at again before it is handed on, so that one removed or
    // replaced meanwhile is passed over.
    bool folderMet = false;
    // Where each media file goes when the walk hands them on in an order of
    // its own: the listing places, slot by slot.
    std::vector<size_t> arranged;
    if (arrangesFiles_) {
        const std::vector<size_t> places = MediaPlaces(listing, encodedPrefix);
        QStringList paths;
        for (const size_t place : places) paths.append(prefix + listing.At(place).name);
        for (const size_t k : ArrangeMediaFiles(paths))
            if (k < places.size()) arranged.push_back(places[k]);
        if (arranged.size() != places.size()) arranged.clear();
    }
    size_t slot = 0;
    for (size_t i = 0; i < listing.Count(); ++i) {
        if (Aborted()) break;
        const Listing::Entry& entry = listing.At(i);
        QString ext;
        const Take take = TakeOf(entry.name, entry.type, listing.Raw(entry), encodedPrefix, ext);
        if (take == Take::Skip) continue;
        if (take == Take::Unstorable) {
            unstorable_.append(prefix + entry.name);
            continue;
        }
        if (take == Take::Folder) {
            FolderMet(folder, prefix + entry.name, IncludeSubFolders);
            folderMet = true;
            // A folder that was renamed or removed meanwhile is listed
            // no further, as the paths built from its old name lead nowhere.
            // The folder is held open until the end, so its inode cannot have
            // passed to another folder meanwhile.
            if (!StillThere(encoded, opened)) break;
            continue;
        }
        const Listing::Entry& file = slot < arranged.size() ? listing.At(arranged[slot++]) : entry;
        if (&file != &entry) ext = EntryExtension(file.name);
        if (folderMet && KindOf(DT_UNKNOWN, encodedPrefix, listing.Raw(file)) != EntryKind::File)
            continue;
        MediaMet(prefix + file.name, ext);
    }
    ::closedir(dir);
}

}  // namespace qv
