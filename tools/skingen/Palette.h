// The one palette of the skin: deep navy surfaces, a teal accent, light
// bodies for reading, and four signal colours for the message icons.
#pragma once
#include <QColor>

namespace Palette {

inline const QColor Ink(0x0C, 0x17, 0x27);        // outlines, deepest shade
inline const QColor Navy(0x14, 0x25, 0x3E);       // caption bands
inline const QColor NavyLight(0x1F, 0x37, 0x5A);  // raised navy
inline const QColor NavyEdge(0x2E, 0x4D, 0x78);   // highlights on navy
inline const QColor Teal(0x19, 0xB3, 0xA6);       // accent
inline const QColor TealLight(0x5E, 0xD8, 0xCB);
inline const QColor TealDark(0x0F, 0x7F, 0x76);
inline const QColor Body(0xF4, 0xF7, 0xFA);       // dialog bodies
inline const QColor BodyLow(0xEA, 0xEF, 0xF5);
inline const QColor Footer(0xE6, 0xEC, 0xF3);
inline const QColor Hairline(0xD3, 0xDC, 0xE7);
inline const QColor Field(0xFF, 0xFF, 0xFF);
inline const QColor FieldEdge(0xB8, 0xC4, 0xD2);
inline const QColor Text(0x1B, 0x2A, 0x3F);
inline const QColor Muted(0x7A, 0x8B, 0xA1);
inline const QColor Disabled(0xC5, 0xCD, 0xD8);
inline const QColor Error(0xE5, 0x48, 0x4D);
inline const QColor Warning(0xF2, 0x9B, 0x21);
inline const QColor Exclamation(0xF5, 0xB7, 0x2C);
inline const QColor Question(0x2F, 0x80, 0xED);
inline const QColor Information(0x1F, 0xA5, 0xA0);
// Colours that mean "outside the window" to the windows cut from pictures.
inline const QColor KeyBlue(0x00, 0x00, 0xFF);
inline const QColor KeyMagenta(0xFF, 0x00, 0xFF);

} // namespace Palette
