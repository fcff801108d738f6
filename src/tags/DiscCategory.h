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
// when made; every user keeps its own copy.
class DefaultDiscLabels {
public:
    DefaultDiscLabels();

    // The category's name ("video" .. "system"), empty outside 0 .. 4.
    static QString CategoryName(int category);
    // The picture of a category at 32, 128 or 360 pixels; empty for a
    // category outside 0 .. 4 or another size.
    QString Path(int category, int size) const;

    // An engine without label sets gets the five defaults in category
    // order, each from the three files under the program folder; adding
    // stops at the first category with a file missing. Nothing happens
    // when the engine already holds label sets.
    static HRESULT SeedEngine(ILibraryEngine* engine);

private:
    std::array<QString, kDiscCategoryCount> m_str32;
    std::array<QString, kDiscCategoryCount> m_str128;
    std::array<QString, kDiscCategoryCount> m_str360;
};
