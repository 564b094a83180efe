#include "app/CommandIds.h"
#include "app/CommandState.h"
#include "app/CommandTable.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// Every rule is checked with its command made available, so the rule itself
// decides.
struct Available {
    explicit Available(std::initializer_list<int> ids) : m_ids(ids) {
        for (int id : m_ids)
            if (!IsCommandAvailable(id)) {
                SetCommandAvailable(id);
                m_added.push_back(id);
            }
    }
    ~Available() {
        for (int id : m_added)
            SetCommandAvailable(id, false);
    }
    std::vector<int> m_ids, m_added;
};

FrameFlags Loaded() {
    FrameFlags f;
    f.imageLoaded = true;
    f.imageMode = true;
    return f;
}

TEST(CommandRules, ZoomButtonsGreyExactlyAtTheEndsOfTheLadder) {
    Available a{ID_ZOOM_IN, ID_ZOOM_OUT};
    FrameFlags f = Loaded();
    f.maxZoom = 16.0f;
    f.minZoom = 0.1f;
    f.zoom = 16.0f;
    EXPECT_FALSE(QueryCommandUi(ID_ZOOM_IN, f).enabled);
    f.zoom = 15.0f;
    EXPECT_TRUE(QueryCommandUi(ID_ZOOM_IN, f).enabled);
    f.zoom = 0.1f;
    EXPECT_FALSE(QueryCommandUi(ID_ZOOM_OUT, f).enabled);
    f.zoom = 0.05f;
    EXPECT_FALSE(QueryCommandUi(ID_ZOOM_OUT, f).enabled);
    f.zoom = 0.11f;
    EXPECT_TRUE(QueryCommandUi(ID_ZOOM_OUT, f).enabled);
    f.imageMode = false; // the list is shown
    EXPECT_FALSE(QueryCommandUi(ID_ZOOM_OUT, f).enabled);
}

TEST(CommandRules, PictureCommandsNeedAPictureAndRotationsASmallZoom) {
    Available a{ID_FILE_SAVE_AS, ID_FILE_SAVE_BUTTON, ID_ROTATE_LEFT, ID_ADJ_INVERT,
                ID_EDIT_DELETE,  ID_EDIT_MOVE,        ID_EDIT_RESIZE};
    FrameFlags none;
    EXPECT_FALSE(QueryCommandUi(ID_FILE_SAVE_AS, none).enabled);
    EXPECT_FALSE(QueryCommandUi(ID_EDIT_DELETE, none).enabled); // picture mode, nothing loaded
    none.imageMode = false;
    EXPECT_TRUE(QueryCommandUi(ID_EDIT_DELETE, none).enabled); // the list's selection
    EXPECT_TRUE(QueryCommandUi(ID_EDIT_MOVE, none).enabled);

    FrameFlags f = Loaded();
    EXPECT_TRUE(QueryCommandUi(ID_FILE_SAVE_AS, f).enabled);
    f.zoom = 1.0f;
    EXPECT_TRUE(QueryCommandUi(ID_ROTATE_LEFT, f).enabled);
    f.zoom = 1.5f;
    EXPECT_FALSE(QueryCommandUi(ID_ROTATE_LEFT, f).enabled);
    f.rotated = true;
    EXPECT_FALSE(QueryCommandUi(ID_ADJ_INVERT, f).enabled);
    EXPECT_FALSE(QueryCommandUi(ID_EDIT_RESIZE, f).enabled);
    f.imageMode = false;
    EXPECT_FALSE(QueryCommandUi(ID_FILE_SAVE_BUTTON, f).enabled);
    EXPECT_TRUE(QueryCommandUi(ID_FILE_SAVE_AS, f).enabled);
}

TEST(CommandRules, NextAndPreviousFollowTheIndexAndNeverWrap) {
    Available a{ID_NEXT_PICTURE, ID_PREV_PICTURE};
    FrameFlags f;
    f.count = 1;
    EXPECT_FALSE(QueryCommandUi(ID_NEXT_PICTURE, f).enabled);
    EXPECT_FALSE(QueryCommandUi(ID_PREV_PICTURE, f).enabled);
    f.count = 5;
    f.curIndex = 0;
    EXPECT_TRUE(QueryCommandUi(ID_NEXT_PICTURE, f).enabled);
    EXPECT_FALSE(QueryCommandUi(ID_PREV_PICTURE, f).enabled);
    f.curIndex = 4;
    EXPECT_FALSE(QueryCommandUi(ID_NEXT_PICTURE, f).enabled);
    EXPECT_TRUE(QueryCommandUi(ID_PREV_PICTURE, f).enabled);
    f.imageMode = false;
    EXPECT_FALSE(QueryCommandUi(ID_PREV_PICTURE, f).enabled);
}

TEST(CommandRules, CommandsNotYetCarriedOutAreGreyedAndUnboundKeysDoNothing) {
    FrameFlags f = Loaded();
    EXPECT_FALSE(QueryCommandUi(ID_UNBOUND_F7, f).enabled);
    EXPECT_FALSE(QueryCommandUi(ID_UNBOUND_HOME, f).enabled);
    EXPECT_FALSE(QueryCommandUi(ID_ROTATE_RIGHT_HIDDEN, f).enabled);
    {
        Available a{ID_WALLPAPER_TILE};
        EXPECT_TRUE(QueryCommandUi(ID_WALLPAPER_TILE, f).enabled);
    }
    EXPECT_FALSE(QueryCommandUi(ID_WALLPAPER_TILE, f).enabled);
    EXPECT_TRUE(QueryCommandUi(ID_VIEW_FULL_SCREEN, f).enabled);
    f.statusBarShown = false;
    EXPECT_FALSE(QueryCommandUi(ID_VIEW_STATUS_BAR, f).checked);
    EXPECT_TRUE(QueryCommandUi(ID_VIEW_TOOLBAR, f).checked);
}

TEST(CommandTable, EveryButtonAndMenuCommandHasAPromptAndButtonsATip) {
    std::set<int> ids;
    std::function<void(const std::vector<MenuItem>&)> walk = [&](const auto& items) {
        for (const MenuItem& m : items) {
            if (m.id)
                ids.insert(m.id);
            walk(m.items);
        }
    };
    walk(MainMenu());
    for (int id : ids) {
        if (id != ID_ZOOM_SELECTION && id != ID_TOOLS_EXPORT_GPS) {
            EXPECT_FALSE(CommandPrompt(id).empty()) << id;
        }
    }
    for (int id : ToolBarButtons()) {
        if (id) {
            EXPECT_FALSE(CommandToolTip(id).empty()) << id;
        }
    }
    EXPECT_EQ(CommandPrompt(ID_ADJ_FLIP_TB), "上下翻转  ");
    EXPECT_EQ(CommandToolTip(ID_ADJ_FLIP_TB), "上下翻转  ");
    EXPECT_EQ(CommandToolTip(ID_ZOOM_FIT), "");
    // 48 items in the menu, each a command of its own.
    EXPECT_EQ(ids.size(), 48u);
}

} // namespace
