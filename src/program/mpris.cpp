// The two MPRIS interfaces as Qt D-Bus adaptors over one object. Nothing here
// plays anything itself: every method is a click on a transport button, the
// loop status goes round with the loop button, a URI is handed over as a
// second start hands over a file. What changes is noticed on the monitor's
// tick, which asks the device anyway, so no timer of its own polls the player.
#include "program/mpris.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QFileInfo>
#include <QMetaProperty>
#include <QMimeDatabase>
#include <QTimer>
#include <QUrl>
#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <optional>

#include "app/frm_quorvane.h"
#include "app/playlist_data.h"
#include "app/program_state.h"
#include "platform/media_kinds.h"
#include "playback/media_play.h"
#include "playback/mod_mci.h"
#include "playback/transport.h"
#include "program/handoff.h"
#include "program/options.h"
#include "tags/tags.h"

namespace qv {
namespace {

const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
// What MPRIS reserves for "no track".
const QString kNoTrack = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");

// libdbus looks for the session bus in DBUS_SESSION_BUS_ADDRESS, then at
// $XDG_RUNTIME_DIR/bus; with neither it would start a bus of its own for the
// X display, which is no business of a media player.
bool SessionBusNamed() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

// A playlist holds a path once, so the path names its entry, and the id
// stays the entry's when lines move round it (a file the tree plays outside
// the playlist is named by its path the same way).
QString TrackId(const QString& path) {
    if (path.isEmpty()) return kNoTrack;
    return QStringLiteral("/org/quorvane/Track/") +
           QString::fromLatin1(
               QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Md5).toHex());
}

// Every type the desktop's MIME database gives to an extension of a media
// kind the player opens; asked once, when a client first wants them.
QStringList MediaMimeTypes() {
    QStringList types;
    for (const QMimeType& type : QMimeDatabase().allMimeTypes()) {
        for (const QString& suffix : type.suffixes()) {
            if (IsMediaKind(suffix.toUpper())) {
                types << type.name();
                break;
            }
        }
    }
    types.sort();
    return types;
}

// The loop mode an MPRIS loop status names; nothing for any other word.
std::optional<Looping> LoopModeOf(const QString& status) {
    if (status == QLatin1String("None")) return Looping::Off;
    if (status == QLatin1String("Playlist")) return Looping::All;
    if (status == QLatin1String("Track")) return Looping::One;
    return std::nullopt;
}

class RootAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ Yes)
    Q_PROPERTY(bool CanRaise READ Yes)
    Q_PROPERTY(bool HasTrackList READ No)
    Q_PROPERTY(QString Identity READ Identity)
    Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)

  public:
    explicit RootAdaptor(Mpris* owner) : QDBusAbstractAdaptor(owner), owner_(owner) {}

    bool Yes() const { return true; }
    bool No() const { return false; }
    QString Identity() const { return QStringLiteral("Quorvane"); }
    QString DesktopEntry() const { return AppId(); }
    QStringList SupportedUriSchemes() const { return {QStringLiteral("file")}; }
    QStringList SupportedMimeTypes() {
        if (mimeTypes_.isEmpty()) mimeTypes_ = MediaMimeTypes();
        return mimeTypes_;
    }

  public slots:
    void Raise() { owner_->Raise(); }
    void Quit() { owner_->Quit(); }

  private:
    Mpris* owner_;
    QStringList mimeTypes_;
};

class PlayerAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(QString LoopStatus READ LoopStatus WRITE SetLoopStatus)
    Q_PROPERTY(double Rate READ Rate WRITE SetRate)
    Q_PROPERTY(double MinimumRate READ Rate)
    Q_PROPERTY(double MaximumRate READ Rate)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(bool CanGoNext READ CanGo)
    Q_PROPERTY(bool CanGoPrevious READ CanGo)
    Q_PROPERTY(bool CanPlay READ CanGo)
    Q_PROPERTY(bool CanPause READ CanGo)
    Q_PROPERTY(bool CanSeek READ CanSeek)
    Q_PROPERTY(bool CanControl READ CanControl)

  public:
    explicit PlayerAdaptor(Mpris* owner) : QDBusAbstractAdaptor(owner), owner_(owner) {}

    QString PlaybackStatus() const { return owner_->PlaybackStatus(); }
    QString LoopStatus() const { return owner_->LoopStatus(); }
    void SetLoopStatus(const QString& status) {
        owner_->SetLoopStatus(status);
        owner_->Refresh();
    }
    // One speed only: a client that asks for another is not heard, but a
    // rate of 0 is a pause, as the interface has it.
    double Rate() const { return 1.0; }
    void SetRate(double rate) {
        if (rate == 0.0) Pause();
    }
    QVariantMap Metadata() { return owner_->Metadata(); }
    double Volume() const { return owner_->Volume(); }
    void SetVolume(double volume) {
        owner_->SetVolume(volume);
        owner_->Refresh();
    }
    qlonglong Position() const { return owner_->PositionUs(); }
    bool CanGo() const { return owner_->CanGo(); }
    bool CanSeek() { return owner_->CanSeek(); }
    bool CanControl() const { return true; }

  public slots:
    void Play() {
        if (owner_->PlaybackStatus() != QLatin1String("Playing")) Click(imgPlay_Click);
    }
    void Pause() {
        if (owner_->PlaybackStatus() == QLatin1String("Playing")) Click(imgPlay_Click);
    }
    void PlayPause() { Click(imgPlay_Click); }
    void Stop() { Click(imgStop_Click); }
    void Next() { Click(imgFF_Click); }
    void Previous() { Click(imgREW_Click); }
    void Seek(qlonglong Offset) { owner_->Seek(Offset); }
    void SetPosition(const QDBusObjectPath& TrackId, qlonglong Position) {
        owner_->SetPosition(TrackId.path(), Position);
    }
    void OpenUri(const QString& Uri) { owner_->OpenUri(Uri); }

  signals:
    void Seeked(qlonglong Position);

  private:
    void Click(void (*handler)(ProgramState&)) {
        handler(owner_->State());
        owner_->Refresh();
    }

    Mpris* owner_;
};

// org.freedesktop.DBus.Properties for the two interfaces above. Qt D-Bus
// answers a property write itself, as done whatever the setter made of it;
// an adaptor of this interface is asked first, so a write the player cannot
// take (a loop status none of the three, a volume that is no number) gets an
// error reply as the interface asks.
class PropertiesAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.DBus.Properties")
    // Qt describes this interface itself; a second description would list it twice.
    Q_CLASSINFO("D-Bus Introspection", "\n")

  public:
    explicit PropertiesAdaptor(Mpris* owner) : QDBusAbstractAdaptor(owner), owner_(owner) {}

  public slots:
    QDBusVariant Get(const QString& interface, const QString& name) {
        QObject* adaptor = nullptr;
        const QMetaProperty property = Find(interface, name, &adaptor);
        if (!adaptor) return {};
        return QDBusVariant(property.read(adaptor));
    }

    QVariantMap GetAll(const QString& interface) {
        QVariantMap all;
        const QList<QObject*> adaptors = AdaptorsOf(interface);
        if (adaptors.isEmpty()) Refuse(QDBusError::UnknownInterface, interface);
        for (QObject* adaptor : adaptors) {
            const QMetaObject* meta = adaptor->metaObject();
            for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
                all.insert(QString::fromLatin1(meta->property(i).name()),
                           meta->property(i).read(adaptor));
        }
        return all;
    }

    void Set(const QString& interface, const QString& name, const QDBusVariant& value) {
        QObject* adaptor = nullptr;
        const QMetaProperty property = Find(interface, name, &adaptor);
        if (!adaptor) return;
        if (!property.isWritable()) {
            Refuse(QDBusError::PropertyReadOnly, name + QStringLiteral(" is read-only"));
            return;
        }
        QVariant v = value.variant();
        if (!Fits(v, property.metaType()) ||
            (name == QLatin1String("LoopStatus") && !LoopModeOf(v.toString()))) {
            Refuse(QDBusError::InvalidArgs,
                   QStringLiteral("%1 cannot be %2").arg(name, v.toString().left(80)));
            return;
        }
        property.write(adaptor, v);
    }

  private:
    // The adaptors that serve interface; all of them for "", as a client may ask.
    QList<QObject*> AdaptorsOf(const QString& interface) const {
        QList<QObject*> found;
        for (QDBusAbstractAdaptor* adaptor : owner_->findChildren<QDBusAbstractAdaptor*>()) {
            if (adaptor == this) continue;
            const QMetaObject* meta = adaptor->metaObject();
            const char* name = meta->classInfo(meta->indexOfClassInfo("D-Bus Interface")).value();
            if (interface.isEmpty() || interface == QLatin1String(name)) found << adaptor;
        }
        return found;
    }

    // The property name of interface; with no such one, *adaptor is null and
    // the error is on its way.
    QMetaProperty Find(const QString& interface, const QString& name, QObject** adaptor) {
        const QList<QObject*> adaptors = AdaptorsOf(interface);
        for (QObject* candidate : adaptors) {
            const QMetaObject* meta = candidate->metaObject();
            const int index = meta->indexOfProperty(name.toLatin1().constData());
            if (index >= meta->propertyOffset()) {
                *adaptor = candidate;
                return meta->property(index);
            }
        }
        if (adaptors.isEmpty())
            Refuse(QDBusError::UnknownInterface, QStringLiteral("no interface ") + interface);
        else
            Refuse(QDBusError::UnknownProperty, QStringLiteral("no property ") + name);
        return {};
    }

    // A number for a number property (D-Bus integers for Volume and Rate
    // too), else the very type.
    static bool Fits(QVariant& v, QMetaType type) {
        if (v.metaType() == type) return true;
        if (type != QMetaType::fromType<double>()) return false;
        switch (v.metaType().id()) {
            case QMetaType::UChar:
            case QMetaType::Short:
            case QMetaType::UShort:
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
                return v.convert(type);
            default:
                return false;
        }
    }

    void Refuse(QDBusError::ErrorType type, const QString& text) { owner_->ReplyError(type, text); }

    Mpris* owner_;
};

}  // namespace

void Mpris::ReplyError(QDBusError::ErrorType type, const QString& text) {
    if (calledFromDBus()) sendErrorReply(type, text);
}

std::unique_ptr<Mpris> Mpris::Start(ProgramState& state) {
    if (!state.mainForm || state.mainForm->Unloaded() || !state.objMediaPlay) return nullptr;
    if (!SessionBusNamed()) return nullptr;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return nullptr;

    std::unique_ptr<Mpris> mpris(new Mpris(state, QString()));
    new RootAdaptor(mpris.get());
    new PlayerAdaptor(mpris.get());
    new PropertiesAdaptor(mpris.get());
    if (!bus.registerObject(kMprisPath, mpris.get())) return nullptr;
    // The object first: a client that sees the name finds it there.
    for (const QString& name :
         {kMprisService, kMprisService + QStringLiteral(".instance") +
                             QString::number(QCoreApplication::applicationPid())}) {
        if (bus.registerService(name)) {
            mpris->service_ = name;
            break;
        }
    }
    if (mpris->service_.isEmpty()) {
        bus.unregisterObject(kMprisPath);
        return nullptr;
    }
    mpris->reported_ = mpris->Now();
    mpris->metadata_ = mpris->MetadataOf(mpris->reported_);
    // After the monitor's own connection (made by Main), so each tick is seen
    // with what the monitor has just made of it.
    QObject::connect(state.mainForm->Timer1, &QTimer::timeout, mpris.get(),
                     [m = mpris.get()] { m->Refresh(); });
    return mpris;
}

Mpris::Mpris(ProgramState& state, QString service) : state_(state), service_(std::move(service)) {}

Mpris::~Mpris() {
    if (service_.isEmpty()) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(service_);
    bus.unregisterObject(kMprisPath);
}

QString Mpris::PlaybackStatus() const {
    const PlayerState s = state_.objMediaPlay->PlayState();
    if (s == PlayerState::Playing) return QStringLiteral("Playing");
    if (s == PlayerState::Paused) return QStringLiteral("Paused");
    return QStringLiteral("Stopped");
}

QString Mpris::LoopStatus() const {
    switch (state_.objMediaPlay->LoopMode()) {
        case Looping::All:
            return QStringLiteral("Playlist");
        case Looping::One:
            return QStringLiteral("Track");
        case Looping::Off:
            break;
    }
    return QStringLiteral("None");
}

void Mpris::SetLoopStatus(const QString& status) {
    const std::optional<Looping> mode = LoopModeOf(status);
    // Another word leaves the mode as it is (a client over the bus has had
    // its error from the properties adaptor).
    if (!mode) return;
    const Looping wanted = *mode;
    // Round with the button, which is what the window shows and what the
    // unload saves.
    for (int i = 0; i < 3 && state_.objMediaPlay->LoopMode() != wanted; ++i) imgLoop_Click(state_);
}

QVariantMap Mpris::Metadata() {
    // A client may ask between two ticks, just after the track changed.
    Refresh();
    return metadata_;
}

int64_t Mpris::PositionUs() const {
    if (state_.objMediaPlay->CurrentPath().isEmpty()) return 0;
    return int64_t{MCIGetPosition(state_.mci)} * 1000;
}

bool Mpris::CanGo() const {
    return state_.objMediaPlay->ListCount() > 0;
}

bool Mpris::CanSeek() {
    return Now().lengthUs > 0;
}

void Mpris::Raise() {
    if (frmQuorvane* form = state_.mainForm.get(); form && !form->Unloaded())
        RaiseMainWindow(*form);
}

void Mpris::Quit() {
    // As the window's close: the unload saves what it saves and ends the
    // program. After the answer has gone, so the client is not left waiting.
    frmQuorvane* form = state_.mainForm.get();
    if (!form) return;
    QTimer::singleShot(0, form, [form] {
        if (!form->Unloaded()) form->close();
    });
}

void Mpris::OpenUri(const QString& uri) {
    const QUrl url(uri, QUrl::StrictMode);
    // A host other than this one names a file elsewhere; toLocalFile would
    // make it "//host/...", a path here that the playlist cannot keep.
    const bool local = url.isValid() && url.scheme() == QLatin1String("file") &&
                       (url.host().isEmpty() || url.host() == QLatin1String("localhost"));
    const QString why =
        local ? WhyNotHandedFile(url.toLocalFile()) : QStringLiteral("not a local file:// URI");
    if (!why.isEmpty()) {
        // Qt D-Bus gives the call's context to the object the adaptors serve.
        if (calledFromDBus())
            sendErrorReply(local ? QDBusError::InvalidArgs : QDBusError::NotSupported,
                           QStringLiteral("Quorvane cannot open this URI: ") + why);
        return;
    }
    TakeHandedFiles(state_, {url.toLocalFile()});
    Refresh();
}

double Mpris::Volume() const {
    return state_.objMediaPlay->Volume() / 1000.0;
}

void Mpris::SetVolume(double volume) {
    if (std::isnan(volume)) return;
    // MPRIS lets a client ask for more than full volume; the device has none.
    state_.objMediaPlay->SetVolume(
        static_cast<int32_t>(std::lround(std::clamp(volume, 0.0, 1.0) * 1000)));
}

void Mpris::Seek(int64_t offsetUs) {
    const int64_t lengthUs = Now().lengthUs;
    if (lengthUs <= 0) return;
    // Compared before adding: a client's offset may be anything up to
    // INT64_MAX, and the sum would wrap round to the start.
    const int64_t position = PositionUs();
    // Past the end is the next track, as MPRIS has it: the next button.
    if (offsetUs > lengthUs - position) {
        imgFF_Click(state_);
        Refresh();
        return;
    }
    SeekTo(offsetUs < -position ? 0 : position + offsetUs);
}

void Mpris::SetPosition(const QString& trackId, int64_t positionUs) {
    const Reported now = Now();
    // A client that still shows the track before: its position is not for this one.
    if (trackId != TrackId(now.track) || positionUs < 0 || positionUs > now.lengthUs) return;
    SeekTo(positionUs);
}

void Mpris::SeekTo(int64_t positionUs) {
    if (state_.objMediaPlay->SeekTo(static_cast<int32_t>(positionUs / 1000))) Refresh();
}

void Mpris::ReportSeeked() {
    if (auto* player = findChild<PlayerAdaptor*>()) emit player->Seeked(PositionUs());
}

Mpris::Reported Mpris::Now() {
    Reported now;
    now.status = PlaybackStatus();
    now.loop = LoopStatus();
    now.canGo = CanGo();
    now.track = state_.objMediaPlay->CurrentPath();
    // The length of an entry that has opened does not change; one the device
    // could not tell at the open is asked again until it can.
    if (now.track == reported_.track && reported_.lengthUs > 0) {
        now.lengthUs = reported_.lengthUs;
    } else if (!now.track.isEmpty() && state_.objMediaPlay->FailedPath() != now.track) {
        now.lengthUs = int64_t{MCIGetLength(state_.mci)} * 1000;
    }
    now.canSeek = now.lengthUs > 0;
    now.volume = state_.objMediaPlay->Volume();
    now.jumps = state_.objMediaPlay->Jumps();
    return now;
}

void Mpris::Refresh() {
    if (!state_.mainForm || state_.mainForm->Unloaded()) return;
    const Reported now = Now();
    QVariantMap changed;
    if (now.status != reported_.status)
        changed.insert(QStringLiteral("PlaybackStatus"), now.status);
    if (now.loop != reported_.loop) changed.insert(QStringLiteral("LoopStatus"), now.loop);
    if (now.canGo != reported_.canGo) {
        for (const char* name : {"CanGoNext", "CanGoPrevious", "CanPlay", "CanPause"})
            changed.insert(QLatin1String(name), now.canGo);
    }
    if (now.canSeek != reported_.canSeek) changed.insert(QStringLiteral("CanSeek"), now.canSeek);
    if (now.volume != reported_.volume) changed.insert(QStringLiteral("Volume"), Volume());
    if (now.track != reported_.track || now.lengthUs != reported_.lengthUs) {
        metadata_ = MetadataOf(now);
        changed.insert(QStringLiteral("Metadata"), metadata_);
    }
    // A jump within the track, whoever made it (the window's slider and
    // keys, a restart in "Loop-One", a client): clients that move their own
    // position bar on from the last one they were told would go astray.
    const bool jumped = now.jumps != reported_.jumps && now.track == reported_.track;
    reported_ = now;
    if (!changed.isEmpty()) SendChanged(changed);
    if (jumped) ReportSeeked();
}

QVariantMap Mpris::MetadataOf(const Reported& now) const {
    QVariantMap map;
    map.insert(QStringLiteral("mpris:trackid"),
               QVariant::fromValue(QDBusObjectPath(TrackId(now.track))));
    if (now.track.isEmpty()) return map;
    // The tags the status bar shows for the playing entry.
    const TagInfo tag = ReadTags(now.track);
    map.insert(QStringLiteral("mpris:length"), qlonglong{now.lengthUs});
    map.insert(QStringLiteral("xesam:title"), tag.Title);
    if (!tag.Artist.isEmpty()) map.insert(QStringLiteral("xesam:artist"), QStringList{tag.Artist});
    if (!tag.Album.isEmpty()) map.insert(QStringLiteral("xesam:album"), tag.Album);
    if (!tag.Comment.isEmpty())
        map.insert(QStringLiteral("xesam:comment"), QStringList{tag.Comment});
    map.insert(QStringLiteral("xesam:url"),
               QString::fromLatin1(QUrl::fromLocalFile(now.track).toEncoded()));
    return map;
}

void Mpris::SendChanged(const QVariantMap& changed) {
    QDBusMessage signal =
        QDBusMessage::createSignal(kMprisPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}

}  // namespace qv

#include "mpris.moc"
