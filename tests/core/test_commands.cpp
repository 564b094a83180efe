#include "app/CommandIds.h"
#include "app/CommandState.h"

#include <gtest/gtest.h>

namespace {

// Every rule is checked with its command made available, so the rule itself
// decides.
struct Available {
    explicit Available(std::initializer_list<int> ids) {
        for (int id : ids)
            if (!IsCommandAvailable(id)) {
                SetCommandAvailable(id);
                m_added.push_back(id);
            }
    }
    ~Available() {
        for (int id : m_added)
            SetCommandAvailable(id, false);
    }
    std::vector<int> m_added;
};

bool Enabled(int id, const FrameFlags& f) {
    return QueryCommandUi(id, f).enabled;
}

TEST(CommandRules, EachRuleDecidesByTheFrameState) {
    Available a{ID_ZOOM_IN,     ID_ZOOM_OUT,     ID_FILE_SAVE_AS, ID_FILE_SAVE_BUTTON,
                ID_ROTATE_LEFT, ID_ADJ_INVERT,   ID_EDIT_DELETE,  ID_EDIT_MOVE,
                ID_EDIT_RESIZE, ID_NEXT_PICTURE, ID_PREV_PICTURE};
    FrameFlags none;
    EXPECT_FALSE(Enabled(ID_FILE_SAVE_AS, none) || Enabled(ID_EDIT_DELETE, none)); // nothing loaded
    none.imageMode = false;
    EXPECT_TRUE(Enabled(ID_EDIT_DELETE, none) &&
                Enabled(ID_EDIT_MOVE, none)); // the list's selection

    // The zoom buttons grey exactly at the ends of the ladder, and zoom out
    // while the list is shown.
    FrameFlags f;
    f.imageLoaded = true;
    f.maxZoom = 16.0f;
    f.minZoom = 0.1f;
    std::string zooms; // "I" and "O" for zoom in and out enabled, "-" for greyed
    for (float zoom : {16.0f, 15.0f, 0.1f, 0.05f, 0.11f}) {
        f.zoom = zoom;
        zooms +=
            std::string(Enabled(ID_ZOOM_IN, f) ? "I" : "-") + (Enabled(ID_ZOOM_OUT, f) ? "O" : "-");
    }
    EXPECT_EQ(zooms, "-OIOI-I-IO");
    // Picture commands need a picture; rotations a zoom up to 1.0; edits an
    // unrotated picture; the save button the picture mode.
    EXPECT_TRUE(Enabled(ID_FILE_SAVE_AS, f));
    f.zoom = 1.0f;
    EXPECT_TRUE(Enabled(ID_ROTATE_LEFT, f));
    f.zoom = 1.5f;
    EXPECT_FALSE(Enabled(ID_ROTATE_LEFT, f));
    f.rotated = true;
    EXPECT_FALSE(Enabled(ID_ADJ_INVERT, f) || Enabled(ID_EDIT_RESIZE, f));
    f.imageMode = false;
    EXPECT_FALSE(Enabled(ID_FILE_SAVE_BUTTON, f) || Enabled(ID_ZOOM_OUT, f));
    EXPECT_TRUE(Enabled(ID_FILE_SAVE_AS, f));

    // Next and previous follow the current file's index and never wrap.
    // List size, current index (-1: not in the list), picture mode.
    std::string steps; // "N" and "P" for next and previous enabled
    for (auto [count, cur, mode] :
         {std::tuple{1, 0, true}, {5, 0, true}, {5, 4, true}, {5, 2, false}, {5, -1, true}}) {
        FrameFlags s;
        s.count = count, s.curIndex = cur, s.imageMode = mode;
        steps += std::string(Enabled(ID_NEXT_PICTURE, s) ? "N" : "-") +
                 (Enabled(ID_PREV_PICTURE, s) ? "P" : "-");
    }
    EXPECT_EQ(steps, "--N--P----");
}

TEST(CommandRules, CommandsNotYetCarriedOutAreGreyedAndUnboundKeysDoNothing) {
    FrameFlags f;
    f.imageLoaded = true;
    for (int id : {ID_UNBOUND_F7, ID_UNBOUND_HOME, ID_ROTATE_RIGHT_HIDDEN, ID_WALLPAPER_TILE})
        EXPECT_FALSE(Enabled(id, f)) << id;
    {
        Available a{ID_WALLPAPER_TILE};
        EXPECT_TRUE(Enabled(ID_WALLPAPER_TILE, f));
    }
    EXPECT_TRUE(Enabled(ID_VIEW_FULL_SCREEN, f));
}

} // namespace
