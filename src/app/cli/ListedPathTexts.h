// The UTF-8 texts of the folder paths of a search's hits (ListedHitWriter),
// each looked up once. Where the engine gives path texts by ranges of ids
// (ILibraryPathTexts), a path not known yet brings the next kRange ids with
// it in the same request: hits come folder by folder, and the folders of a
// disc mostly have ids one after another. A path that a range does not give
// as it is (not plain UTF-8, or not given at all) is looked up on its own,
// as LibraryReader::PathText gives it.
#pragma once
#include "ComPtr.h"
#include "ILibraryPathTexts.h"

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class LibraryReader;

class ListedPathTexts {
public:
    struct Text {
        std::string utf8;
        bool exact = false; // the same bytes as the whole-record path writes
    };
    static constexpr int kRange = 64;

    // `ranges` may be null (the engine has no ILibraryPathTexts).
    ListedPathTexts(const LibraryReader& library, ILibraryPathTexts* ranges);
    // The engine's path texts by ranges, or null when it has none.
    static ComPtr<ILibraryPathTexts> RangesOf(ILibraryEngine* library);

    // The text of a path id ("\DIR\SUB"; "" for 0, the root).
    const Text& Of(int pathId);
    // The text in UTF-8; exact when it was found and holds no lone surrogate.
    static Text EncodedOf(const QString& text, bool found);

private:
    // Remembers the paths of ids firstId .. firstId + kRange - 1 that the
    // engine gives as they are.
    void ReadRange(int firstId);
    bool InReadRange(int pathId) const { return pathId >= m_rangeFirst && int64_t(pathId) - m_rangeFirst < kRange; }
    // Valid UTF-8 without a NUL: what the whole-record path writes from it
    // is the same bytes.
    static bool PlainUtf8(std::string_view text);

    const LibraryReader& m_library;
    ILibraryPathTexts* m_pRanges;
    int m_rangeFirst = -kRange; // ids of the last range read
    std::vector<LibraryPathText> m_rangePaths;
    std::vector<char> m_rangeTexts;
    static constexpr size_t kRemembered = 4096;
    std::unordered_map<int, Text> m_known;
};
