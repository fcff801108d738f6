// CGXTFrameWndAccessible: the skinned frame as screen readers see it: a
// window named by its title whose children are its widgets followed by the
// three drawn caption buttons (minimise, maximise or restore, close).
#pragma once
#include "CGXTFrameWnd.h"

#include <QAccessibleWidget>
#include <array>

class CaptionButtonAccessible;

class CGXTFrameWndAccessible : public QAccessibleWidget {
public:
    explicit CGXTFrameWndAccessible(CGXTFrameWnd* frame);
    ~CGXTFrameWndAccessible() override;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

private:
    static constexpr CGXTFrameWnd::HitCode kButtons[] = {CGXTFrameWnd::HitMinimise, CGXTFrameWnd::HitMaximise,
                                                          CGXTFrameWnd::HitClose};
    std::array<QAccessible::Id, 3> m_buttonIds{};
};
