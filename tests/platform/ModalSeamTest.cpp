#include "ModalSeam.h"

#include <QDialog>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// A dialog whose OK handling reads its edit, as real dialogs do.
class NameDialog : public QDialog {
public:
    NameDialog() { edit = new QLineEdit(this); }
    void accept() override
    {
        accepted = edit->text();
        done(IDOK);
    }
    void reject() override { done(IDCANCEL); }
    QLineEdit* edit;
    QString accepted;
};

ModalRecord Message(UINT textId)
{
    ModalRecord record;
    record.kind = QStringLiteral("MessageBox");
    record.textId = textId;
    record.style = 4;
    record.captionId = 100;
    return record;
}

class ModalSeamTest : public ::testing::Test {
protected:
    void SetUp() override { ModalSeam::Reset(); }
    void TearDown() override { ModalSeam::Reset(); }
};

} // namespace

TEST_F(ModalSeamTest, QueuedAnswersAreUsedInOrderAndRecorded)
{
    QDialog first, second;
    ModalSeam::QueueAnswer(IDYES);
    ModalSeam::QueueAnswer(IDNO);
    EXPECT_EQ(ModalSeam::Run(&first, Message(3268)), IDYES);
    EXPECT_EQ(ModalSeam::Run(&second, Message(3017)), IDNO);
    const auto& shown = ModalSeam::Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].textId, 3268u);
    EXPECT_EQ(shown[0].style, 4u);
    EXPECT_EQ(shown[0].captionId, 100u);
    EXPECT_EQ(shown[0].result, IDYES);
    EXPECT_TRUE(shown[0].answered);
    EXPECT_EQ(shown[1].textId, 3017u);
    EXPECT_EQ(shown[1].result, IDNO);
    EXPECT_EQ(ModalSeam::PendingAnswers(), 0u);
    EXPECT_FALSE(first.isVisible());
}

TEST_F(ModalSeamTest, AnsweringOkRunsTheDialogsOwnOkHandling)
{
    NameDialog dialog;
    dialog.edit->setText(QStringLiteral("Holiday"));
    ModalSeam::QueueAnswer(IDOK);
    EXPECT_EQ(ModalSeam::Run(&dialog, {}), IDOK);
    EXPECT_EQ(dialog.accepted, QStringLiteral("Holiday"));
}

TEST_F(ModalSeamTest, AnActionSeesTheWindowOpenAndCanLetItDecide)
{
    NameDialog dialog;
    bool sawVisible = false;
    ModalSeam::QueueAction([&](QDialog* window) {
        sawVisible = window->isVisible();
        dialog.edit->setText(QStringLiteral("Work"));
        window->accept();
        return ModalSeam::kWindowDecides;
    });
    EXPECT_EQ(ModalSeam::Run(&dialog, {}), IDOK);
    EXPECT_TRUE(sawVisible);
    EXPECT_EQ(dialog.accepted, QStringLiteral("Work"));
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(ModalSeamTest, AWindowLeftOpenByItsActionIsCancelled)
{
    NameDialog dialog;
    ModalSeam::QueueAction([](QDialog*) { return ModalSeam::kWindowDecides; });
    EXPECT_EQ(ModalSeam::Run(&dialog, {}), IDCANCEL);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(ModalSeamTest, RunsStartedInsideAnActionTakeTheNextAnswers)
{
    QDialog outer, inner;
    ModalSeam::QueueAction([&](QDialog*) { return ModalSeam::Run(&inner, Message(2)) == IDYES ? IDOK : IDCANCEL; });
    ModalSeam::QueueAnswer(IDYES);
    EXPECT_EQ(ModalSeam::Run(&outer, Message(1)), IDOK);
    const auto shown = ModalSeam::TakeShown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].textId, 1u) << "records follow the order the runs started";
    EXPECT_EQ(shown[1].textId, 2u);
    EXPECT_TRUE(ModalSeam::Shown().empty());
}

TEST_F(ModalSeamTest, UnansweredRunsInUnattendedModeCancelWithoutShowing)
{
    ASSERT_TRUE(ModalSeam::IsUnattended()) << "test programs run unattended";
    QDialog dialog;
    EXPECT_EQ(ModalSeam::Run(&dialog, Message(3014)), IDCANCEL);
    ASSERT_EQ(ModalSeam::Shown().size(), 1u);
    EXPECT_FALSE(ModalSeam::Shown()[0].answered);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(ModalSeamTest, RunsAPersonAnswersAreNotRecorded)
{
    ModalSeam::SetUnattended(false);
    for (int run = 0; run < 3; ++run) {
        QDialog dialog;
        QTimer::singleShot(0, &dialog, [&dialog] { dialog.done(IDNO); });
        EXPECT_EQ(ModalSeam::Run(&dialog, Message(3268)), IDNO);
    }
    ModalSeam::SetUnattended(true);
    EXPECT_TRUE(ModalSeam::Shown().empty());
}
