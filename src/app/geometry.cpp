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
    ForEachStoredValue(g, [&ini](const QString& Key, const QString& Value) {
        ini.WriteIni(kSection, Key, Value);
    });
}

void ForEachStoredValue(
    const TwipsGeometry& g,
    const std::function<void(const QString& Key, const QString& Value)>& write) {
    write(QStringLiteral("Left"), QString::number(g.Left));
    write(QStringLiteral("Top"), QString::number(g.Top));
    write(QStringLiteral("Width"), QString::number(g.Width));
    write(QStringLiteral("Height"), QString::number(g.Height));
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
