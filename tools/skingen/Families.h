// The families of skin pictures; each adds its pictures to the list.
#pragma once
#include "Canvas.h"

void AddControlPictures(Canvas::Pictures& out);
void AddDialogPictures(Canvas::Pictures& out);
void AddMainFramePictures(Canvas::Pictures& out);
void AddCommandViewPictures(Canvas::Pictures& out);
void AddDiscLabelPictures(Canvas::Pictures& out);

// The product mark (a disc with two stars), shared by icons and logos.
void DrawProductMark(QPainter& painter, const QRectF& box);
