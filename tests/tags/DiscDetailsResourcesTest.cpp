#include "EnglishResources.h"
#include "ResourceIds.h"

// Installed before any test of the program runs.
static ::testing::Environment* const kEnglish = ::testing::AddGlobalTestEnvironment(new EnglishResources);

TEST(DiscDetailsResources, EveryTextOfTheDiscDetailsIsThere)
{
    for (UINT id : {IDS_DISCINFO_CAPTION, IDS_BTN_IMPORT, IDS_LABEL_DISC_NAME, IDS_LABEL_TYPE, IDS_LABEL_SIZE,
                    IDS_LABEL_DATE, IDS_LABEL_DATE_ALTERNATE, IDS_LABEL_LABEL, IDS_LABEL_TAGS, IDS_TIP_ADD_LABEL,
                    IDS_BTN_EDIT_TAGS, IDS_TIP_EDIT_TAGS, IDS_DISCLABEL_CAPTION, IDS_SNAPSHOT_CAPTION, IDS_BTN_DONE,
                    IDS_TIP_CAPTURE, IDS_MSG_NO_CAPTURE_DEVICE, IDS_MSG_PREVIEW_FAILED, IDS_SOURCE_PICTURE_FILE,
                    IDS_PICTURE_FILE_CAPTION, IDS_PICTURE_FILE_FILTER, IDS_MSG_PICTURE_UNREADABLE,
                    IDS_FMT_PICTURE_TOO_LARGE, IDS_MSG_LABEL_NOT_SAVED})
        EXPECT_FALSE(LoadString(id).isEmpty()) << id;
    // The size message takes the picture's size and the largest side.
    EXPECT_EQ(4, LoadString(IDS_FMT_PICTURE_TOO_LARGE).count(QLatin1String("%d")));
}
