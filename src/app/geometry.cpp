// The main window's stored geometry, and the corrections made to it: a window
// that would open on no screen at all (a monitor unplugged since the last run)
// opens at the top-left of the primary screen instead, and one too small to
// use opens at the default size.
#include "app/geometry.h"

#include <QGuiApplication>
#include <QScreen>

#include "app/number_text.h"
#include "app/settings.h"

namespace qv {
namespace {
const QString kSection = QStringLiteral("Quorvane");

int Stored(const Ini& ini, const char* key) {
    return CLng(Val(ini.ReadIni(kSection, QString::fromLatin1(key))));
}
}  // namespace

TwipsGeometry ReadStoredGeometry(const Ini& ini) {
    TwipsGeometry g;
    g.Left = Stored(ini, "Left");
    g.Top = Stored(ini, "Top");
    g.Width = Stored(ini, "Width");
    g.Height = Stored(ini, "Height");
    if (g.Width < kMinimumWidth) g.Width = kDefaultWidth;
    if (g.Height < kMinimumHeight) g.Height = kDefaultHeight;
    return g;
}

void WriteStoredGeometry(const Ini& ini, const TwipsGeometry& g) {
    ini.WriteIni(kSection, QStringLiteral("Left"), QString::number(g.Left));
    ini.WriteIni(kSection, QStringLiteral("Top"), QString::number(g.Top));
    ini.WriteIni(kSection, QStringLiteral("Width"), QString::number(g.Width));
    ini.WriteIni(kSection, QStringLiteral("Height"), QString::number(g.Height));
}

QRect PlaceOnScreen(const QRect& outer) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (const QScreen* screen : screens) {
        if (screen->geometry().intersects(outer)) return outer;
    }
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary) return outer;
    QRect placed = outer;
    placed.moveTopLeft(primary->availableGeometry().topLeft());
    return placed;
}

}  // namespace qv
