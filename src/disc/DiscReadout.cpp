#include "DiscReadout.h"

#include "CDiscAccess.h"

HRESULT DiscReadout::Read(CDiscAccess& discs)
{
    return discs.ReadDiscProperties(identity, label, spare, &audio, &discClass, &folders, &files, &used, &capacity,
                                    date);
}
