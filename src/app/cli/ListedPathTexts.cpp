#include "ListedPathTexts.h"

#include "LibraryReader.h"

#include <QByteArrayView>
#include <QStringEncoder>

ListedPathTexts::ListedPathTexts(const LibraryReader& library, ILibraryPathTexts* ranges)
    : m_library(library), m_pRanges(ranges)
{
}

ComPtr<ILibraryPathTexts> ListedPathTexts::RangesOf(ILibraryEngine* library)
{
    ComPtr<ILibraryPathTexts> ranges;
    if (library && FAILED(library->QueryInterface(IID_ILibraryPathTexts, ranges.PutVoid()))) ranges.Reset();
    return ranges;
}

const ListedPathTexts::Text& ListedPathTexts::Of(int pathId)
{
    auto known = m_known.find(pathId);
    if (known != m_known.end()) return known->second;
    if (m_pRanges && pathId > 0 && !InReadRange(pathId)) {
        ReadRange(pathId);
        known = m_known.find(pathId);
        if (known != m_known.end()) return known->second;
    }
    if (m_known.size() >= kRemembered) m_known.clear(); // hits come folder by folder
    return m_known.emplace(pathId, EncodedOf(m_library.PathText(pathId), true)).first->second;
}

void ListedPathTexts::ReadRange(int firstId)
{
    m_rangeFirst = firstId;
    m_rangePaths.resize(kRange);
    m_rangeTexts.resize(size_t(kRange) * kLibraryPathTextBytes);
    LONG filled = 0;
    // A failed read leaves each path of the range to its own look-up, which
    // reports the failure where there is one.
    if (FAILED(m_pRanges->GetPathTexts(firstId, kRange, m_rangePaths.data(), m_rangeTexts.data(),
                                       LONG(m_rangeTexts.size()), &filled)))
        filled = 0;
    if (m_known.size() + size_t(filled) > kRemembered) m_known.clear();
    for (LONG i = 0; i < filled; ++i) {
        const LibraryPathText& path = m_rangePaths[size_t(i)];
        const std::string_view text(m_rangeTexts.data() + path.textOffset, path.textBytes);
        if (PlainUtf8(text)) m_known.try_emplace(path.pathId, Text{std::string(text), true});
    }
}

bool ListedPathTexts::PlainUtf8(std::string_view text)
{
    return text.find('\0') == std::string_view::npos && QByteArrayView(text).isValidUtf8();
}

ListedPathTexts::Text ListedPathTexts::EncodedOf(const QString& text, bool found)
{
    QStringEncoder encoder(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
    const QByteArray utf8 = encoder.encode(text);
    return Text{utf8.toStdString(), found && text.isValidUtf16()};
}
