// The language chosen at start-up: Setting.ini's "Language" first, then
// LANGUAGE; the windows built afterwards, Qt's own buttons included, speak it.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <tuple>

#include "app/frm_hide_menu.h"
#include "app/language.h"
#include "app/tree_view.h"
#include "library/scan.h"
#include "support/test_program.h"

using namespace qv;

TEST(Language, SettingFirstThenTheFirstOfLanguage) {
    const std::tuple<const char*, const char*, UiLanguage> cases[] = {
        {nullptr, "", UiLanguage::Japanese},
        {nullptr, "en_US:ja", UiLanguage::English},
        {nullptr, "de_DE:en", UiLanguage::Japanese},
        {"[quorvane]\r\nlanguage= EN_GB \r\n", "ja", UiLanguage::English},
        {"[Quorvane]\r\nLanguage=ja\r\n", "en", UiLanguage::Japanese},
        {"[Quorvane]\r\nLanguage=\r\n", "en", UiLanguage::English},
        {"[File]\r\nLanguage=en\r\n", "", UiLanguage::Japanese},
    };
    for (const auto& [ini, languageList, expected] : cases) {
        qvtest::TempDir dir;
        if (ini) dir.write("Setting.ini", ini);
        EXPECT_EQ(ReadLanguage(Ini(dir.path()), languageList), expected) << ini << languageList;
    }
}

TEST(Language, WindowsMenusAndMessagesSpeakTheChosenLanguage) {
    const QStringList english = {"Scan",          "Find media",
                                 "All media",     "&Add to playlist",
                                 "Save Playlist", "Please enter a folder",
                                 "&Yes"};
    const QStringList japanese = {
        "スキャン",           "メディアの検索",         "全てのメディア", "プレイリストに追加(&A)",
        "プレイリストの保存", "パスを指定してください", "はい(&Y)"};
    const std::tuple<const char*, const char*, QStringList> cases[] = {
        {"[Quorvane]\r\nLanguage=en\r\n", "", english},
        {"", "en_US:ja", english},
        {"[Quorvane]\r\nLanguage=ja\r\n", "en", japanese},
    };
    for (const auto& [ini, languageList, expected] : cases) {
        qvtest::TestProgram p;
        p.dir.write("Setting.ini", ini);
        ASSERT_TRUE(InstallLanguage(ReadLanguage(p.state->ini, languageList)));
        p.Start();
        frmQuorvane& form = *p.state->mainForm;
        form.Text1->clear();
        cmdScan_Click(*p.state);
        ASSERT_EQ(p.dialogs.asked.size(), 1);
        const QMessageBox box(QMessageBox::NoIcon, {}, {}, QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(
            (QStringList{form.cmdScan->text(), form.Frame1->title(),
                         form.TV1->Node(QStringLiteral("root"))->text(),
                         p.state->HideMenu().mnAddPlayList->text(), p.state->savePL->windowTitle(),
                         p.dialogs.asked[0].prompt, box.button(QMessageBox::Yes)->text()}),
            expected)
            << ini << languageList;
    }
    ASSERT_TRUE(InstallLanguage(UiLanguage::Japanese));
}
