// The application's icon for the desktop's menus and file managers: the
// product mark on a disc, drawn at every size of the hicolor icon theme and
// once as a scalable drawing.
#pragma once
#include <QPainter>
#include <QString>

// Draws the icon into a square of `side` pixels at the painter's origin;
// the smallest sizes leave out the fine detail.
void DrawApplicationIcon(QPainter& painter, int side);

// Writes <root>/hicolor/<n>x<n>/apps/<name>.png for n = 16 ... 512 and
// <root>/hicolor/scalable/apps/<name>.svg; false and a message on standard
// error when one cannot be written.
bool WriteApplicationIcons(const QString& root, const QString& name);
