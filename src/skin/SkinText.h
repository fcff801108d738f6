// Texts of the skinned windows by string resource number.
#pragma once
#include "wintypes.h"

#include <QString>

QString SkinText(UINT id);
