// The process around Main: the single-copy test comes before anything is
// created, so a second start costs nothing and shows nothing.
#include "program/run.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QFontInfo>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/clock.h"
#include "app/dialogs_qt.h"
#include "app/frm_quorvane.h"
#include "app/language.h"
#include "app/pictures.h"
#include "app/program_state.h"
#include "app/unstorable_paths.h"
#include "platform/mci/gst_media_device.h"
#include "platform/mci/mci_interpreter.h"
#include "program/close_on_signal.h"
#include "program/command_line.h"
#include "program/handoff.h"
#include "program/mpris.h"
#include "program/options.h"
#include "program/single_instance.h"
#include "program/startup.h"

namespace qv {

namespace {

// The program folder, asked before the program is made: the lock is the
// folder's. It may be the per-user one, which is named after the program.
QString ProgramFolder(char** argv) {
    int qtArgc = 1;
    const QCoreApplication app(qtArgc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Quorvane"));
    return Ini::DefaultAppPath();
}

// A second start: its files go to the running copy, and it ends.
int HandOver(const QString& lockFolder, const QString& programFolder, int argc, char** argv) {
    int qtArgc = 1;
    QCoreApplication app(qtArgc, argv);
    QStringList refused;
    const QStringList paths =
        AbsoluteArguments(DecodeArguments(argc, argv, &refused), QDir::currentPath());
    for (QString path : refused) {
        // A line end shown as is would look like two paths.
        path.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
        std::fprintf(stderr, "quorvane: not handed over, no playlist can keep this path: %s\n",
                     qUtf8Printable(path));
    }
    QString error;
    if (SendHandOff(HandOffSocketPath(lockFolder, programFolder), paths, &error)) return 0;
    std::fprintf(stderr, "quorvane: %s\n", qUtf8Printable(error));
    return 1;
}

}  // namespace

int RunProgram(int argc, char** argv) {
    Options options = ReadOptions(argc, argv);
    if (options.action != Options::Action::Run) return AnswerOptions(options, argv[0]);
    // From here on every argument is a file ("--" is gone).
    argc = options.argc();
    argv = options.argv.data();

    const QString programFolder = ProgramFolder(argv);
    const std::vector<LockPlace> places = InstanceLockPlaces();
    const SingleInstance instance(programFolder, places);
    if (instance.Result() == SingleInstance::Outcome::AnotherCopy)
        return HandOver(instance.Folder(), programFolder, argc, argv);
    // A copy that cannot tell whether another runs would rather run twice than
    // not at all; the user hears why.
    if (instance.Result() == SingleInstance::Outcome::NoLock)
        std::fprintf(stderr, "%s\n", qUtf8Printable(NoLockWarning(places)));

    QStringList refused;
    const QStringList arguments = DecodeArguments(argc, argv, &refused);
    // Qt would take options of its own out of the arguments (a style, a folder to load
    // plugins from, and the word after them): every argument here is a file, so Qt gets none.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QApplication::setApplicationVersion(QStringLiteral(QV_VERSION));
    // Wayland docks and task bars find the desktop entry by this name.
    QGuiApplication::setDesktopFileName(AppId());
    QApplication::setWindowIcon(AppIcon());
    // Once, before any window: every text is made in the language chosen here.
    InstallLanguage(ReadLanguage(Ini(programFolder), qEnvironmentVariable("LANGUAGE")));

    // The forms were laid out for the Japanese desktop's 9-point user-interface
    // font; a proportional Japanese Gothic fits their captions as that did.
    QFont uiFont(QStringLiteral("IPAPGothic"));
    uiFont.setPointSizeF(9);
    if (QFontInfo(uiFont).family().startsWith(QStringLiteral("IPA"))) QApplication::setFont(uiFont);

    SystemClock clock;
    QtDialogs dialogs;
    MciInterpreter mci(GstDeviceFactory());
    ProgramState state(programFolder, mci, dialogs, clock);
    state.commandLine =
        ArgumentText(CarriedArguments(AbsoluteArguments(arguments, QDir::currentPath()), &refused));
    state.endProgram = [] { QCoreApplication::exit(0); };

    // A signal that arrives while the main window still loads closes it as
    // soon as it is shown.
    bool closeWhenShown = false;
    CloseOnSignal closer([&state, &dialogs, &closeWhenShown] {
        // Nobody is there to answer a box: the one open goes, and the close's
        // own boxes (a path no file can keep, a file that could not be
        // written) are told on standard error instead.
        dialogs.EndAll();
        if (state.mainForm && state.mainForm->isVisible()) {
            // Once the closed box has returned to whoever opened it.
            QTimer::singleShot(0, state.mainForm.get(), [&state] {
                if (!state.mainForm->Unloaded()) state.mainForm->close();
            });
        } else {
            closeWhenShown = true;
        }
    });

    // Listening before Main: a second start during the splash is not turned
    // away, and its files wait until the start has read its own.
    std::unique_ptr<HandOffServer> handOff;
    if (instance.Result() == SingleInstance::Outcome::Acquired) {
        handOff = std::make_unique<HandOffServer>(
            HandOffSocketPath(instance.Folder(), programFolder),
            [&state](const QStringList& paths) { TakeHandedFiles(state, paths); });
        if (!handOff->Listening())
            std::fprintf(stderr, "quorvane: files of a second start cannot be taken: %s\n",
                         qUtf8Printable(handOff->ErrorString()));
    }

    Main(state);
    if (handOff) handOff->Open();
    if (closeWhenShown && !state.mainForm->Unloaded()) state.mainForm->close();
    if (state.mainForm->Unloaded()) return 0;
    // Once the window is up: the desktop's media controls then find a player
    // with its playlist restored.
    const std::unique_ptr<Mpris> mpris = Mpris::Start(state);
    // The unload ends the program by ending the event loop. Qt forgets such an
    // end asked for before its loop runs, so a modal box of the start shown
    // here, and closed by a signal, would leave a process without a window:
    // the box waits for the loop instead.
    QTimer::singleShot(0, state.mainForm.get(),
                       [&] { ReportUnstorablePaths(state, state.mainForm.get(), refused); });
    return QApplication::exec();
}

}  // namespace qv
