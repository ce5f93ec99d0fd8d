// The main window's stored geometry, and the corrections made to it: a window
// that would open on no screen at all (a monitor unplugged since the last run)
// opens at the top-left of the primary screen instead, one larger than its
// screen is shrunk to fit, and one too small to use opens at the default size.
#include "app/geometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

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

QRect PlaceOnScreens(const QRect& outer, const QList<ScreenArea>& screens) {
    if (screens.isEmpty()) return outer;
    qsizetype home = -1;
    qint64 mostShared = 0;
    for (qsizetype i = 0; i < screens.size(); ++i) {
        const QRect shared = screens[i].whole & outer;
        const qint64 area = qint64{shared.width()} * shared.height();
        if (area > mostShared) {
            mostShared = area;
            home = i;
        }
    }
    QRect placed = outer;
    if (home < 0) {
        home = 0;
        placed.moveTopLeft(screens[0].free.topLeft());
    }
    const QRect free = screens[home].free;
    if (placed.width() <= free.width() && placed.height() <= free.height()) return placed;
    // Too large for its screen: a part of the window (the transport, the
    // status bar) could not be reached at all.
    placed.setWidth(std::min(placed.width(), free.width()));
    placed.setHeight(std::min(placed.height(), free.height()));
    placed.moveLeft(std::clamp(placed.left(), free.left(), free.right() + 1 - placed.width()));
    placed.moveTop(std::clamp(placed.top(), free.top(), free.bottom() + 1 - placed.height()));
    return placed;
}

QRect PlaceOnScreen(const QRect& outer) {
    QList<ScreenArea> screens;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary) screens.append({primary->geometry(), primary->availableGeometry()});
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != primary) screens.append({screen->geometry(), screen->availableGeometry()});
    return PlaceOnScreens(outer, screens);
}

}  // namespace qv
