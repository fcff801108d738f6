#include "SkinText.h"

// Interim texts until the resource component is in the build.
QString SkinText(UINT id)
{
    switch (id) {
    case 100: return QStringLiteral("Albireo");
    case 8016: return QStringLiteral("OK");
    case 6084: return QStringLiteral("Cancel");
    case 11320: return QStringLiteral("No");
    case 11323: return QStringLiteral("Yes");
    case 910: return QStringLiteral("Retry");
    case 902: return QStringLiteral("Ignore");
    case 903: return QStringLiteral("Abort");
    case 11268: return QStringLiteral("Close");
    case 61186: return QStringLiteral("Minimize");
    default: return QString();
    }
}
