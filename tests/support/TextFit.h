// Texts a window shows that do not fit where they are shown, for the tests
// that check every translated window at every layout scale.
#pragma once
#include <QStringList>

class QWidget;

namespace TextFit {

// The visible one-line labels and buttons narrower than their text, and the
// wrapped labels shorter than their lines, among `window`'s children (rich
// texts and texts cut with an ellipsis on purpose are not counted).
QStringList ClippedTexts(const QWidget& window);

} // namespace TextFit
