// The program's texts are written in Japanese; English comes from the
// quorvane_en.qm built into the program, Qt's own from the system's Qt.
#include "app/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace qv {
namespace {

const char* const kOurs = "qvLanguage";

bool Install(const QString& name, const QString& folder) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    translator->setObjectName(QString::fromLatin1(kOurs));
    if (!translator->load(name, folder)) {
        delete translator;
        return false;
    }
    // Qt refuses a translation without messages (qtbase_en has none today):
    // loaded is enough, Qt's strings are English already.
    QCoreApplication::installTranslator(translator);
    return true;
}

}  // namespace

bool InstallLanguage(UiLanguage language) {
    QCoreApplication* app = QCoreApplication::instance();
    for (QTranslator* earlier :
         app->findChildren<QTranslator*>(QString::fromLatin1(kOurs), Qt::FindDirectChildrenOnly)) {
        QCoreApplication::removeTranslator(earlier);
        delete earlier;
    }
    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (language == UiLanguage::Japanese) return Install(QStringLiteral("qtbase_ja"), qtFolder);
    const bool qt = Install(QStringLiteral("qtbase_en"), qtFolder);
    return Install(QStringLiteral("quorvane_en"), QStringLiteral(":/i18n")) && qt;
}

}  // namespace qv
