// What AddDisc is given, checked and read the same way by every library
// engine.
#pragma once
#include "DefaultLabel.h"
#include "DiscProperties.h"
#include "hresult.h"
#include "wintypes.h"

#include <QString>
#include <array>

struct NewDiscArguments {
    // An identity takes fewer bytes than this (the size of the field it is copied back into).
    static constexpr int kIdentityCapacity = 260;

    DiscProperties properties;
    QString name;
    QString tagIds;
    QString dateText;
    std::array<QString, 3> labelPaths; // the disc's own pictures (32, 128, 360): all three or none

    bool HasOwnLabel() const { return !labelPaths[0].isEmpty(); }
    // E_POINTER without an identity; E_INVALIDARG for an identity empty or
    // too long, a text that is not well-formed, or pictures given in part.
    HRESULT Read(const char* identity, const char16_t* const pictures[3], const char16_t* discName,
                 const char16_t* discTagIds, const char16_t* date, LONG audioFlag, LONG discClass, LONG folderCount,
                 LONG fileCount, INT64 usedBytes, INT64 capacityBytes);

    // The disc's own label set when its pictures are given (added to
    // `labels`), else the default set of its category, none when that set
    // is not in the library. `labels` and `tags`: the engine's stores.
    template <class LabelStore, class TagStore>
    HRESULT ChooseLabel(LabelStore& labels, TagStore& tags, LONG* labelId) const
    {
        if (HasOwnLabel()) return labels.Add(labelPaths[0], labelPaths[1], labelPaths[2], labelId);
        const LONG set = DefaultLabel::SetFor(properties, tags.CategoryTags(tagIds), name);
        bool exists = false;
        const HRESULT hr = labels.Exists(set, &exists);
        *labelId = exists ? set : 0;
        return hr;
    }
};
