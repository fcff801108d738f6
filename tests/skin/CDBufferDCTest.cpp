#include "CDBufferDC.h"

#include <gtest/gtest.h>

TEST(CDBufferDC, DrawingReachesTheTargetOnlyWhenTheBufferGoes)
{
    QImage target(100, 60, QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::white);
    QPainter painter(&target);
    {
        CDBufferDC buffer(painter, QRect(20, 10, 50, 30));
        EXPECT_EQ(buffer.Rect(), QRect(20, 10, 50, 30));
        buffer->fillRect(QRect(30, 15, 10, 10), Qt::red); // target coordinates
        buffer->fillRect(QRect(0, 0, 10, 10), Qt::blue);  // outside the covered rectangle
        EXPECT_EQ(target.pixelColor(35, 20), QColor(Qt::white)) << "nothing drawn before the copy";
    }
    painter.end();
    EXPECT_EQ(target.pixelColor(35, 20), QColor(Qt::red));
    EXPECT_EQ(target.pixelColor(5, 5), QColor(Qt::white));
    EXPECT_EQ(target.pixelColor(25, 12), QColor(Qt::white)) << "undrawn parts of the buffer leave the target be";
}

TEST(CDBufferDC, WithoutARectangleItCoversTheClipBox)
{
    QImage target(40, 40, QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::white);
    QPainter painter(&target);
    painter.setClipRect(QRect(10, 10, 20, 20));
    painter.setPen(Qt::green);
    {
        CDBufferDC buffer(painter);
        EXPECT_EQ(buffer.Rect(), QRect(10, 10, 20, 20));
        EXPECT_EQ(buffer->pen().color(), QColor(Qt::green)) << "the target's pen is taken over";
        buffer->fillRect(QRect(0, 0, 40, 40), Qt::black);
    }
    painter.end();
    EXPECT_EQ(target.pixelColor(15, 15), QColor(Qt::black));
    EXPECT_EQ(target.pixelColor(5, 5), QColor(Qt::white));
}
