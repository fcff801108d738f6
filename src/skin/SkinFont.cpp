#include "SkinFont.h"

#include "UiScale.h"

#include <QStringList>
#include <mutex>

namespace SkinFont {

QFont ShellDlg(int pixelSize, bool bold)
{
    static std::once_flag substituted;
    std::call_once(substituted, [] {
        QFont::insertSubstitutions(QString::fromLatin1(kShellDlg),
                                   QStringList{QStringLiteral("Segoe UI"), QStringLiteral("Noto Sans"),
                                    QStringLiteral("Nimbus Sans"), QStringLiteral("Liberation Sans"),
                                    QStringLiteral("DejaVu Sans")});
    });
    QFont font(QString::fromLatin1(kShellDlg));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QFont Scaled(int pixelSize, bool bold) { return ShellDlg(int(pixelSize * GetUiScale()), bold); }

} // namespace SkinFont
