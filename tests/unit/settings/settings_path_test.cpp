#include "settings/settings_path.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zorvan::settings {
namespace {

TEST(SettingsPath, IsTheExecutableNameWithIniAsExtension) {
    const std::pair<QString, QString> rows[] = {
        {"/opt/z/zorvan", "/opt/z/zorvan.ini"},
        {"/opt/z/zorvan-demo", "/opt/z/zorvan-demo.ini"},
        {"C:/Tools/viewer.exe", "C:/Tools/viewer.ini"},
        {"/opt/z.d/zorvan", "/opt/z.d/zorvan.ini"},
        {"/opt/z/a.b.exe", "/opt/z/a.b.ini"},
        {"/opt/z/.zorvan", "/opt/z/.zorvan.ini"},
    };
    for (const auto& [executable, expected] : rows) {
        EXPECT_EQ(settingsPathBeside(executable), expected) << executable.toStdString();
    }
}

TEST(SettingsPath, MovesToTheConfigurationFolderWhenTheExecutablesFolderIsNotWritable) {
    const QTemporaryDir folder;
    EXPECT_EQ(settingsPathFor(folder.filePath("zorvan"), "/home/u/.config/zorvan"),
              folder.filePath("zorvan.ini"));
    EXPECT_EQ(settingsPathFor("/no/such/folder/zorvan-demo", "/home/u/.config/zorvan"),
              "/home/u/.config/zorvan/zorvan-demo.ini");
    // An installed copy's folder belongs to the installer even where the user could write
    // to it; the letter case of a Windows path does not matter.
    const QStringList installed = {folder.path().toUpper(), "/opt"};
    EXPECT_EQ(settingsPathFor(folder.filePath("zorvan"), "C:/u/zorvan", installed),
              "C:/u/zorvan/zorvan.ini");
    EXPECT_EQ(settingsPathFor(folder.filePath("zorvan"), "C:/u/zorvan", {folder.path() + "x"}),
              folder.filePath("zorvan.ini"));
}

TEST(SettingsPath, FollowsTheRunningExecutableUnlessPointedElsewhere) {
    int argc = 1;
    char name[] = "settings_test";
    char* argv[] = {name, nullptr};
    const QCoreApplication application(argc, argv);
    const QString beside = settingsPathBeside(QCoreApplication::applicationFilePath());
    EXPECT_EQ(settingsFilePath(), beside);

    setSettingsFilePath("/tmp/elsewhere.ini");
    EXPECT_EQ(settingsFile().path(), "/tmp/elsewhere.ini");
    setSettingsFilePath({});
    EXPECT_EQ(settingsFilePath(), beside);
}

} // namespace
} // namespace zorvan::settings
