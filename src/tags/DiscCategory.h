// DiscCategory: the media category of a catalogued disc, and the default
// label pictures of each category. The values index the tables, and the
// engine's label sets 1 to 5 are the defaults in this order.
#pragma once
#include "ILibraryEngine.h"

#include <QString>
#include <array>

enum DiscCategory : int {
    DiscCategoryVideo = 0,
    DiscCategoryPhoto = 1,
    DiscCategoryMusic = 2,
    DiscCategoryData = 3,
    DiscCategorySystem = 4,
};
inline constexpr int kDiscCategoryCount = 5;
// The default label sets are 1 .. 5; a set above is a disc's own label.
inline constexpr LONG kLastDefaultLabelId = kDiscCategoryCount;

// The three tables of default label pictures ("Image\..." paths), built
// when made; every user keeps its own copy. LibrarySeed registers them
// with an empty library.
class DefaultDiscLabels {
public:
    DefaultDiscLabels();

    // The category's name ("video" .. "system"), empty outside 0 .. 4.
    static QString CategoryName(int category);
    // The picture of a category at 32, 128 or 360 pixels; empty for a
    // category outside 0 .. 4 or another size.
    QString Path(int category, int size) const;


private:
    std::array<QString, kDiscCategoryCount> m_str32;
    std::array<QString, kDiscCategoryCount> m_str128;
    std::array<QString, kDiscCategoryCount> m_str360;
};
