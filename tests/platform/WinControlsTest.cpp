#include "VirtualKeys.h"
#include "WinControls.h"

#include <QWidget>
#include <gtest/gtest.h>

namespace {

class Receiver : public QWidget {
public:
    std::vector<std::pair<WPARAM, LPARAM>> commands;

protected:
    bool event(QEvent* event) override
    {
        if (auto* m = WinMessageEvent::From(event)) {
            if (m->msg == WM_COMMAND) commands.emplace_back(m->wParam, m->lParam);
            m->result = 77;
            return true;
        }
        return QWidget::event(event);
    }
};

} // namespace

TEST(WinControls, ControlIdentifiersFindChildrenAtAnyDepth)
{
    QWidget dialog;
    auto* group = new QWidget(&dialog);
    auto* edit = new QWidget(group);
    SetDlgCtrlID(edit, 3231);
    SetDlgCtrlID(group, 10);
    EXPECT_EQ(GetDlgCtrlID(edit), 3231);
    EXPECT_EQ(GetDlgItem(&dialog, 3231), edit);
    EXPECT_EQ(GetDlgItem(&dialog, 10), group);
    EXPECT_EQ(GetDlgItem(&dialog, 99), nullptr);
    EXPECT_EQ(GetDlgCtrlID(nullptr), 0);
}

TEST(WinControls, CommandsCarryIdentifierCodeAndSender)
{
    Receiver parent;
    auto* control = new QWidget(&parent);
    SetDlgCtrlID(control, 3251);
    EXPECT_EQ(SendCommandToParent(control, CBN_SELCHANGE), 77);
    ASSERT_EQ(parent.commands.size(), 1u);
    EXPECT_EQ(LOWORD(parent.commands[0].first), 3251);
    EXPECT_EQ(HIWORD(parent.commands[0].first), CBN_SELCHANGE);
    EXPECT_EQ(parent.commands[0].second, reinterpret_cast<LPARAM>(control));
    EXPECT_EQ(MAKEWPARAM(0xFFFF, 0x0501), 0x0501FFFFu);
    EXPECT_EQ(RectLTRB(18, 290, 249, 314), QRect(18, 290, 231, 24));
}

TEST(WinControls, VirtualKeysFollowTheWindowsCodes)
{
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_A), 0x41u);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_7), 0x37u);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Enter), VK_RETURN);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_F1), VK_F1);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_F12), 0x7Bu);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Delete), VK_DELETE);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Comma), 0u);
}
