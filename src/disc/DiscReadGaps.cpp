#include "DiscReadGaps.h"

#include "ResourceIds.h"
#include "StringResources.h"

#include <QStringList>

namespace {

// A resource text with printf-style arguments (%d, and %s as UTF-8).
template <class... Args>
QString Format(UINT id, Args... args)
{
    return QString::asprintf(LoadString(id).toUtf8().constData(), args...);
}

} // namespace

DiscReadGaps DiscReadGaps::OfReader(ITrellisReader* reader)
{
    DiscReadGaps gaps;
    ITrellisReadReport* reports = nullptr;
    if (!reader || FAILED(reader->QueryInterface(IID_ITrellisReadReport, reinterpret_cast<void**>(&reports))))
        return gaps;
    TrellisReadReport report{};
    if (SUCCEEDED(reports->GetReadReport(&report))) {
        gaps.m_record.unreadFolders = static_cast<int32_t>(report.unreadFolders);
        gaps.m_record.unreadFiles = static_cast<int32_t>(report.unreadFiles);
        gaps.m_record.reasons = static_cast<int32_t>(report.reasons);
        gaps.m_record.mediumBytes = static_cast<int64_t>(report.mediumBytes);
        gaps.m_record.volumeBytes = static_cast<int64_t>(report.volumeBytes);
    }
    reports->Release();
    return gaps;
}

DiscReadGaps DiscReadGaps::OfDisc(ILibraryEngine* library, LONG discId)
{
    DiscReadGaps gaps;
    ILibraryDiscReads* reads = nullptr;
    if (!library || FAILED(library->QueryInterface(IID_ILibraryDiscReads, reinterpret_cast<void**>(&reads))))
        return gaps;
    if (FAILED(reads->GetDiscGaps(discId, &gaps.m_record))) gaps.m_record = DiscGapRecord{};
    reads->Release();
    return gaps;
}

QString DiscReadGaps::ImportMessage() const
{
    const QString causes = Causes();
    const QString counts = Format(IDS_MSG_IMPORT_INCOMPLETE, m_record.unreadFolders, m_record.unreadFiles);
    return causes.isEmpty() ? counts : counts + QStringLiteral("\n\n") + causes;
}

QString DiscReadGaps::ReasonText() const
{
    const QString causes = Causes();
    const QString counts = Format(IDS_TIP_DISC_INCOMPLETE, m_record.unreadFolders, m_record.unreadFiles);
    return causes.isEmpty() ? counts : counts + QLatin1Char('\n') + causes;
}

QString DiscReadGaps::Causes() const
{
    const DWORD reasons = static_cast<DWORD>(m_record.reasons);
    QStringList lines;
    const bool shortImage = (reasons & TRELLIS_GAP_SHORT_IMAGE) && m_record.volumeBytes > 0;
    if (shortImage)
        lines << Format(IDS_GAP_SHORT_IMAGE, SizeText(m_record.mediumBytes).toUtf8().constData(),
                        SizeText(m_record.volumeBytes).toUtf8().constData());
    // A cut image explains what lies beyond its end.
    if ((reasons & TRELLIS_GAP_BEYOND_END) && !shortImage) lines << LoadString(IDS_GAP_BEYOND_END);
    const struct {
        DWORD bit;
        UINT text;
    } kCauses[] = {{TRELLIS_GAP_READ_ERROR, IDS_GAP_READ_ERROR},
                   {TRELLIS_GAP_DAMAGED, IDS_GAP_DAMAGED},
                   {TRELLIS_GAP_LOOP, IDS_GAP_LOOP},
                   {TRELLIS_GAP_LIMIT, IDS_GAP_LIMIT}};
    for (const auto& cause : kCauses)
        if (reasons & cause.bit) lines << LoadString(cause.text);
    return lines.join(QLatin1Char('\n'));
}

QString DiscReadGaps::SizeText(INT64 bytes)
{
    const UINT units[] = {IDS_UNIT_KB, IDS_UNIT_MB, IDS_UNIT_GB};
    double value = static_cast<double>(bytes < 0 ? 0 : bytes) / 1024.0;
    int unit = 0;
    while (value >= 1024.0 && unit < 2) {
        value /= 1024.0;
        ++unit;
    }
    QString number = QString::number(value, 'f', value < 10.0 ? 1 : 0);
    if (number.endsWith(QLatin1String(".0"))) number.chop(2);
    return number + QLatin1Char(' ') + LoadString(units[unit]);
}
