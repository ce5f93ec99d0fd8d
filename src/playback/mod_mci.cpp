// Mod_MCI: builds the command strings, sends them and reads the replies. It
// keeps no state: the open device is the state.
#include "playback/mod_mci.h"

#include <limits>

#include "platform/filesystem.h"
#include "platform/mci/mci_errors.h"
#include "platform/media_kinds.h"

namespace qv {

namespace {

const QString kAlias = QStringLiteral("PlayData");

int32_t Send(MciSender& mci, const QString& command) {
    return mci.SendString(command, nullptr, 0);
}

// Sends a query with a reply buffer of the given size and cuts the reply at
// its first NUL, as a fixed buffer filled with NULs would be read.
QString Query(MciSender& mci, const QString& command, int bufferLength) {
    QString reply;
    mci.SendString(command, &reply, bufferLength);
    const qsizetype nul = reply.indexOf(QChar(0));
    return nul < 0 ? reply : reply.left(nul);
}

// There are no blank-free short names here, so a path that holds a blank is
// sent in double quotes (a quote inside is doubled). Otherwise it goes as is.
QString PathWord(const QString& path) {
    const bool needsQuotes = path.contains(u' ') || path.contains(u'\t') || path.contains(u'\r') ||
                             path.contains(u'\n') || path.startsWith(u'"');
    if (!needsQuotes) return path;
    QString quoted = path;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

// A word of the kind table as text; the table lives as long as the program,
// so the text shares its characters rather than copying them.
QString Text(QStringView word) {
    return QString::fromRawData(word.data(), word.size());
}

}  // namespace

QString MciDeviceType(const QString& strFilePath) {
    const MediaKind* kind = FindMediaKind(EntryExtension(strFilePath));
    return kind ? Text(kind->deviceType) : QString();
}

int32_t MCIOpen(MciSender& mci, const QString& strFilePath) {
    const QString strType = MciDeviceType(strFilePath);
    const QString strShortPath = GetShortPath(strFilePath);
    return Send(mci, "open " + PathWord(strShortPath) + " type " + strType + " alias " + kAlias);
}

int32_t MCIPlay(MciSender& mci) {
    return Send(mci, "play " + kAlias);
}
int32_t MCIStop(MciSender& mci) {
    return Send(mci, "stop " + kAlias);
}
int32_t MCIClose(MciSender& mci) {
    return Send(mci, "close " + kAlias);
}
int32_t MCIPause(MciSender& mci) {
    return Send(mci, "pause " + kAlias);
}
int32_t MCIResume(MciSender& mci) {
    return Send(mci, "resume " + kAlias);
}
int32_t MCISeekStart(MciSender& mci) {
    return Send(mci, "seek " + kAlias + " to start");
}

int32_t MCISeekTo(MciSender& mci, int32_t lngMilliseconds) {
    return Send(mci, "seek " + kAlias + " to " + QString::number(lngMilliseconds));
}
int32_t MCISetVolume(MciSender& mci, int32_t lngVolume) {
    return Send(mci, "setaudio " + kAlias + " volume to " + QString::number(lngVolume));
}

int32_t MCISetTrackGain(MciSender& mci, double dblFactor) {
    MediaDevice* device = mci.Device(kAlias);
    return device ? device->SetTrackGain(dblFactor) : mcierr::kInvalidDeviceName;
}

int32_t MCIGetLength(MciSender& mci) {
    Send(mci, "set " + kAlias + " time format milliseconds");
    return LeadingNumber(Query(mci, "status " + kAlias + " length", 16));
}

int32_t MCIGetPosition(MciSender& mci) {
    Send(mci, "set " + kAlias + " time format milliseconds");
    return LeadingNumber(Query(mci, "status " + kAlias + " position", 16));
}

QString MCIGetMode(MciSender& mci) {
    return Query(mci, "status " + kAlias + " mode", 10);
}

QString MCIGetOutput(MciSender& mci) {
    return Query(mci, "status " + kAlias + " output", 10);
}

int32_t QueueJoins(MciSender& mci, const QStringList& paths, const QList<double>& gains) {
    MediaDevice* device = mci.Device(kAlias);
    return device ? device->QueueNext(paths, gains) : mcierr::kInvalidDeviceName;
}

std::vector<MediaEvent> TakeDeviceEvents(MciSender& mci) {
    MediaDevice* device = mci.Device(kAlias);
    return device ? device->TakeEvents() : std::vector<MediaEvent>{};
}

QString GetMediaType(const QString& strFilePath) {
    const MediaKind* kind = FindMediaKind(EntryExtension(strFilePath));
    return kind ? Text(kind->name) : QString();
}

int32_t LeadingNumber(const QString& strText) {
    qsizetype i = 0;
    while (i < strText.size() && (strText[i] == u' ' || strText[i] == u'\t')) ++i;
    bool negative = false;
    if (i < strText.size() && (strText[i] == u'-' || strText[i] == u'+'))
        negative = strText[i++] == u'-';
    // Values beyond the 32-bit range are clamped rather than wrapped.
    int64_t value = 0;
    for (; i < strText.size() && strText[i] >= u'0' && strText[i] <= u'9'; ++i) {
        value = value * 10 + (strText[i].unicode() - u'0');
        if (value > int64_t{std::numeric_limits<int32_t>::max()} + 1) break;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

}  // namespace qv
