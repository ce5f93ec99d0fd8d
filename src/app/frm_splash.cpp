// The splash window: 3975 x 1050 twips, centred on the primary screen, not in
// the task bar, above every other window.
#include "app/frm_splash.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "app/pictures.h"
#include "app/twips.h"

namespace qv {
namespace {
QLabel* Picture(QWidget* parent, const char* name, const QPixmap& picture, const QRect& at) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAccessibleName(QString::fromLatin1(name));
    label->setScaledContents(true);
    label->setPixmap(picture);
    label->setGeometry(at);
    return label;
}
}  // namespace

frmSplash::frmSplash() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setAccessibleName(QStringLiteral("frmSplash"));
    setWindowTitle(QString());
    setWindowIcon(AppIcon());
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x40, 0x40, 0x40));
    setPalette(pal);
    setFixedSize(TwipsRect(0, 0, 3975, 1050).size());
    Image2 = Picture(this, "Image2", BannerPicture(), TwipsRect(600, 225, 3195, 345));
    Image3 = Picture(this, "Image3", SubtitlePicture(), TwipsRect(142, 780, 3690, 195));
    Image1 = Picture(this, "Image1", IconPicture(), TwipsRect(60, 120, 480, 480));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r(QPoint(), size());
        r.moveCenter(screen->geometry().center());
        move(r.topLeft());
    }
}

void frmSplash::Form_Load() {
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setWindowFlag(Qt::WindowDoesNotAcceptFocus, true);
    setAttribute(Qt::WA_ShowWithoutActivating, true);
}

}  // namespace qv
