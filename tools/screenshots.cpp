// Makes the pictures of docs/screenshots: the main window with a small
// playlist (in Japanese, and in English as main-window-en.png), the splash and
// the save-playlist dialog, each grabbed from the real widgets.
// Usage: screenshots <folder>   (run under xvfb-run or offscreen)
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFont>
#include <QFontInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "app/controls.h"
#include "app/frm_quorvane.h"
#include "app/frm_splash.h"
#include "app/language.h"
#include "playback/monitor.h"
#include "playlist/frm_save_pl.h"
#include "program/startup.h"
#include "support/media_files.h"
#include "support/test_program.h"

namespace {

// The main window of a program with a small playlist, the first track shown
// 1:23 into its 3:35.
void ShowMainWindow(qvtest::TestProgram& p) {
    const QString music = p.folder() + "Music/";
    const QStringList files = {
        p.dir.write("Music/01 朝の光.mp3", qvtest::Id3Bytes("朝の光", "青空楽団", "ライブ録音")),
        p.dir.write("Music/02 Evening.mp3", qvtest::Id3Bytes("Evening Tide", "The Harbour")),
        p.dir.write("Music/prelude.mid", qvtest::MidiBytes()),
        p.dir.write("Music/birds.wav", qvtest::WavBytes()),
    };
    p.dir.write("PlayLists/お気に入り.lst", (files[0] + "\r\n" + files[2] + "\r\n").toUtf8());
    p.dir.write("PlayLists/Morning.lst", (files[1] + "\r\n").toUtf8());
    QString line;
    for (const QString& f : files) line += "\"" + f + "\" ";
    line.chop(1);
    p.Start(line);
    p.state->mainForm->Text1->setText(music);
    // The play button's picture and the sliders come with the monitor's first ticks.
    QDeadlineTimer ticks(300);
    while (!ticks.hasExpired()) QApplication::processEvents(QEventLoop::AllEvents, 20);
    // The recording device plays nothing: the time panel and its position bar
    // are shown as the monitor would show them.
    qv::frmQuorvane& form = *p.state->mainForm;
    form.Timer1->stop();
    form.Panel(4)->setText(QStringLiteral("playing"));
    form.Panel(5)->setText(qv::TimeText(83000, 215000));
    form.sldSeek->setRange(0, 215000);
    form.sldSeek->setValue(83000);
    QApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshots <folder>\n");
        return 2;
    }
    QFont uiFont(QStringLiteral("IPAPGothic"));
    uiFont.setPointSizeF(9);
    if (QFontInfo(uiFont).family().startsWith(QStringLiteral("IPA"))) QApplication::setFont(uiFont);
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + "/";
    QDir().mkpath(out);

    qvtest::TestProgram p;
    ShowMainWindow(p);
    p.state->mainForm->grab().save(out + "main-window.png");

    qv::frmSplash splash;
    splash.grab().save(out + "splash.png");

    qv::frmSavePL dialog(*p.state);
    dialog.Form_Load();
    dialog.Text1->setText(QStringLiteral("お気に入り"));
    dialog.show();
    QApplication::processEvents();
    dialog.grab().save(out + "save-dialog.png");

    // The same window in English, as a user who asked for it sees it.
    qv::InstallLanguage(qv::UiLanguage::English);
    qvtest::TestProgram english;
    ShowMainWindow(english);
    english.state->mainForm->grab().save(out + "main-window-en.png");
    std::printf("%s\n", qPrintable(out));
    return 0;
}
