#include "MessageBoxService.h"
#include "QtPrinters.h"
#include "RecordingMessageBox.h"

#include <gtest/gtest.h>

namespace {

TEST(RecordingMessageBox, RecordsEveryBox)
{
    CRecordingMessageBox boxes;
    auto* owner = reinterpret_cast<QWidget*>(0x1234);
    CMessageBoxService::Current().Show(owner, QStringLiteral("Please select a bank !"),
                                       QStringLiteral("Warning"), Mb::Ok | Mb::IconExclamation);
    CMessageBoxService::Current().Show(nullptr, QString(), QStringLiteral("Error"), Mb::IconHand);

    ASSERT_EQ(boxes.Calls().size(), 2u);
    EXPECT_EQ(boxes.Calls()[0].owner, owner);
    EXPECT_EQ(boxes.Calls()[0].text, QStringLiteral("Please select a bank !"));
    EXPECT_EQ(boxes.Calls()[0].caption, QStringLiteral("Warning"));
    EXPECT_EQ(boxes.Calls()[0].type, 0x30u);
    EXPECT_EQ(boxes.Calls()[1].owner, nullptr);
    EXPECT_EQ(boxes.Calls()[1].type, 0x10u);
}

TEST(RecordingMessageBox, AnswersFromTheScriptThenDismisses)
{
    CRecordingMessageBox boxes;
    boxes.Script(Id::Yes);
    boxes.Script(Id::No);
    CMessageBoxService& service = CMessageBoxService::Current();
    EXPECT_EQ(service.Show(nullptr, {}, {}, Mb::YesNo | Mb::IconQuestion), Id::Yes);
    EXPECT_EQ(service.Show(nullptr, {}, {}, Mb::YesNo | Mb::IconQuestion), Id::No);
    EXPECT_EQ(boxes.PendingAnswers(), 0);
    EXPECT_EQ(service.Show(nullptr, {}, {}, Mb::YesNo | Mb::IconQuestion), Id::No);
    EXPECT_EQ(service.Show(nullptr, {}, {}, Mb::Ok | Mb::IconHand), Id::Ok);
    EXPECT_EQ(service.Show(nullptr, {}, {}, Mb::OkCancel), Id::Cancel);
    EXPECT_EQ(service.Show(nullptr, {}, {}, Mb::YesNoCancel), Id::Cancel);
}

TEST(RecordingMessageBox, InstallsItselfWhileAlive)
{
    {
        CRecordingMessageBox outer;
        {
            CRecordingMessageBox inner;
            EXPECT_EQ(&CMessageBoxService::Current(), &inner);
            CMessageBoxService::Current().Show(nullptr, {}, {}, Mb::Ok);
            EXPECT_EQ(inner.Calls().size(), 1u);
        }
        EXPECT_EQ(&CMessageBoxService::Current(), &outer);
        EXPECT_TRUE(outer.Calls().empty());
    }
    // With none installed, a box is shown nowhere (no window's library is loaded): the
    // message is logged and the box dismissed.
    EXPECT_EQ(CMessageBoxService::Current().Show(nullptr, QStringLiteral("Replace it?"), {},
                                                 Mb::YesNo | Mb::IconQuestion),
              Id::No);
}

} // namespace
