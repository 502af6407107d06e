#include "FileDialogService.h"
#include "QtFileDialog.h"
#include "QtPrinters.h"
#include "ScriptedFileDialog.h"

#include <gtest/gtest.h>

namespace {

TEST(ToQtFilter, ConvertsEachDescriptionAndPatternPair)
{
    EXPECT_EQ(
        CFileDialogService::ToQtFilter(QStringLiteral("Lumo Sound sound banks(*.94b)|*.94b|")),
        QStringLiteral("Lumo Sound sound banks(*.94b) (*.94b)"));
    // The description's stray bracket stays; the pattern in the last parentheses filters.
    EXPECT_EQ(CFileDialogService::ToQtFilter(QStringLiteral("Korvane Presets (*.pre]|*.pre|")),
              QStringLiteral("Korvane Presets (*.pre] (*.pre)"));
    EXPECT_EQ(CFileDialogService::ToQtFilter(
                  QStringLiteral("Web pages|*.htm; *.html|All files (*.*)|*.*|")),
              QStringLiteral("Web pages (*.htm *.html);;All files (*.*) (*.*)"));
}

TEST(ToQtFilter, HandlesIncompleteLists)
{
    EXPECT_EQ(CFileDialogService::ToQtFilter(QString()), QString());
    EXPECT_EQ(CFileDialogService::ToQtFilter(QStringLiteral("|")), QString());
    EXPECT_EQ(CFileDialogService::ToQtFilter(QStringLiteral("A|*.a")), QStringLiteral("A (*.a)"));
    // A description without its pattern is dropped; an empty description ends the list.
    EXPECT_EQ(CFileDialogService::ToQtFilter(QStringLiteral("A|*.a|B")), QStringLiteral("A (*.a)"));
    EXPECT_EQ(CFileDialogService::ToQtFilter(QStringLiteral("A|*.a||B|*.b|")),
              QStringLiteral("A (*.a)"));
    EXPECT_EQ(CFileDialogService::ToQtFilter(QStringLiteral("All|;|")), QStringLiteral("All (*)"));
}

TEST(DefaultExtension, IsAddedOnlyToNamesWithoutOne)
{
    const QString dir = QStringLiteral("/data/sets.v2/");
    EXPECT_EQ(CFileDialogService::WithDefaultExtension(dir + "piano", QStringLiteral("*.94b")),
              dir + "piano.94b");
    EXPECT_EQ(CFileDialogService::WithDefaultExtension(dir + "piano", QStringLiteral("pre")),
              dir + "piano.pre");
    EXPECT_EQ(CFileDialogService::WithDefaultExtension(dir + "piano", QStringLiteral(".pre")),
              dir + "piano.pre");
    EXPECT_EQ(CFileDialogService::WithDefaultExtension(dir + "song.mid", QStringLiteral("*.pre")),
              dir + "song.mid");
    EXPECT_EQ(CFileDialogService::WithDefaultExtension(dir + "piano", QString()), dir + "piano");
    EXPECT_EQ(CFileDialogService::WithDefaultExtension(QString(), QStringLiteral("*.pre")),
              QString());
    EXPECT_EQ(CFileDialogService::WithDefaultExtension(dir, QStringLiteral("*.pre")), dir);
}

TEST(ScriptedFileDialog, AnswersInOrderAndRecordsRequests)
{
    CScriptedFileDialog dialog;
    dialog.Script(QStringLiteral("/banks/a.94b"));
    dialog.Script(QString());
    dialog.Script(QStringLiteral("/presets/mine"));

    CFileDialogService& service = CFileDialogService::Current();
    EXPECT_EQ(service.Run({true, QStringLiteral("*.94b"), {}, QStringLiteral("B|*.94b|"), nullptr}),
              QStringLiteral("/banks/a.94b"));
    EXPECT_EQ(service.Run({true, QStringLiteral("*.94b"), {}, {}, nullptr}), QString());
    EXPECT_EQ(
        service.Run({false, QStringLiteral("*.pre"), QStringLiteral("Untitled"), {}, nullptr}),
        QStringLiteral("/presets/mine.pre"));
    EXPECT_EQ(dialog.PendingAnswers(), 0);
    EXPECT_EQ(service.Run({true, {}, {}, {}, nullptr}), QString());

    ASSERT_EQ(dialog.Requests().size(), 4u);
    EXPECT_TRUE(dialog.Requests()[0].open);
    EXPECT_EQ(dialog.Requests()[0].filter, QStringLiteral("B|*.94b|"));
    EXPECT_FALSE(dialog.Requests()[2].open);
    EXPECT_EQ(dialog.Requests()[2].fileName, QStringLiteral("Untitled"));
}

TEST(ScriptedFileDialog, InstallsItselfWhileAlive)
{
    {
        CScriptedFileDialog outer;
        {
            CScriptedFileDialog inner;
            EXPECT_EQ(&CFileDialogService::Current(), &inner);
        }
        EXPECT_EQ(&CFileDialogService::Current(), &outer);
    }
    EXPECT_NE(dynamic_cast<CQtFileDialog*>(&CFileDialogService::Current()), nullptr);
}

} // namespace
