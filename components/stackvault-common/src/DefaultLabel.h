// The default label image set of a new disc that brings no label of its own.
// Sets 1 to 5 are the defaults of the categories video, photo, music, data
// and system, in that order.
//   - an audio disc: music;
//   - else the disc's first category tag: Video -> video, Photo -> photo,
//     Music -> music, Document -> data;
//   - else system when the disc's name reads like an installation or
//     system disc (setup, install, boot, system, recovery, driver, windows,
//     linux), otherwise data.
#pragma once
#include "DiscProperties.h"

#include <QString>
#include <QStringList>

namespace DefaultLabel {

// categoryTags: the disc's category tag names in the order of its tag ids.
int32_t SetFor(const DiscProperties& disc, const QStringList& categoryTags, const QString& discName);

} // namespace DefaultLabel
