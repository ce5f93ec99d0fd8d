// The settings module over the profile reader and writer, and the choice of
// the program folder.
#include "app/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <cmath>

#include "app/number_text.h"
#include "platform/profile.h"

namespace qv {
namespace {

QString withOneSlash(QString folder) {
    while (folder.size() > 1 && folder.endsWith(u'/')) folder.chop(1);
    if (!folder.endsWith(u'/')) folder += u'/';
    return folder;
}

}  // namespace

Ini::Ini(const QString& appPath) : appPath_(withOneSlash(appPath)) {}

QString Ini::DefaultAppPath(bool make) {
    const QString exeFolder = QCoreApplication::applicationDirPath();
    if (QFileInfo(exeFolder).isWritable()) return withOneSlash(exeFolder);
    // Installed system-wide: keep settings, library and playlists per user,
    // so that nothing the user makes is lost to a folder nobody may write.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (make) QDir().mkpath(data);
    return withOneSlash(data);
}

QString Ini::ReadIni(const QString& Section, const QString& Key) const {
    return ReadProfileString(appPath_ + QStringLiteral("Setting.ini"), Section, Key);
}

int Ini::WriteIni(const QString& Section, const QString& Key, const QString& Value) const {
    const QString path = appPath_ + QStringLiteral("Setting.ini");
    if (WriteProfileString(path, Section, Key, Value)) return 1;
    if (onWriteFailed) onWriteFailed(path);
    return 0;
}

QString LoopingWord(Looping mode) {
    switch (mode) {
        case Looping::All:
            return QStringLiteral("Loop-All");
        case Looping::One:
            return QStringLiteral("Loop-One");
        case Looping::Off:
            break;
    }
    return QStringLiteral("Loop-Off");
}

Looping ReadLoopMode(const Ini& ini) {
    const int32_t mode =
        CLng(Val(ini.ReadIni(QStringLiteral("Quorvane"), QStringLiteral("LoopMode"))));
    return mode >= 0 && mode <= 2 ? static_cast<Looping>(mode) : Looping::Off;
}

int32_t ReadVolume(const Ini& ini) {
    bool ok = false;
    const qlonglong volume =
        ini.ReadIni(QStringLiteral("Quorvane"), QStringLiteral("Volume")).trimmed().toLongLong(&ok);
    return ok ? static_cast<int32_t>(std::clamp<qlonglong>(volume, 0, 1000)) : 1000;
}

int32_t ReadReplayGainMode(const Ini& ini) {
    bool ok = false;
    const int mode =
        ini.ReadIni(QStringLiteral("Quorvane"), QStringLiteral("ReplayGain")).trimmed().toInt(&ok);
    return ok && mode >= 0 && mode <= 2 ? mode : 1;
}

double ReadReplayGainPreamp(const Ini& ini) {
    bool ok = false;
    const double db = ini.ReadIni(QStringLiteral("Quorvane"), QStringLiteral("ReplayGainPreamp"))
                          .trimmed()
                          .toDouble(&ok);
    return ok && std::isfinite(db) ? std::clamp(db, -20.0, 20.0) : 0.0;
}

UiLanguage ReadLanguage(const Ini& ini, const QString& languageList) {
    const QString chosen =
        ini.ReadIni(QStringLiteral("Quorvane"), QStringLiteral("Language")).trimmed();
    for (const QString& language : {chosen, languageList.section(u':', 0, 0).trimmed()}) {
        if (language.startsWith(QStringLiteral("en"), Qt::CaseInsensitive))
            return UiLanguage::English;
        if (language.startsWith(QStringLiteral("ja"), Qt::CaseInsensitive))
            return UiLanguage::Japanese;
    }
    return UiLanguage::Japanese;
}

}  // namespace qv
