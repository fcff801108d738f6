#include "WinControls.h"

#include <QObject>
#include <QVariant>

namespace {
const char* const kControlId = "albireoControlId";
}

void SetDlgCtrlID(QObject* control, int id)
{
    if (control) control->setProperty(kControlId, id);
}

int GetDlgCtrlID(const QObject* control)
{
    return control ? control->property(kControlId).toInt() : 0;
}

QObject* GetDlgItem(const QObject* parent, int id)
{
    if (!parent) return nullptr;
    for (QObject* child : parent->children())
        if (GetDlgCtrlID(child) == id) return child;
    for (QObject* child : parent->children())
        if (QObject* found = GetDlgItem(child, id)) return found;
    return nullptr;
}

LRESULT SendCommandToParent(QObject* control, WORD code)
{
    if (!control) return 0;
    const WPARAM wParam = MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(control)), code);
    return SendMessage(control->parent(), WM_COMMAND, wParam, reinterpret_cast<LPARAM>(control));
}
