#include "app/CommandState.h"

#include "app/CommandIds.h"

#include <set>

namespace {

std::set<int>& Available() {
    // The commands of the frame itself; the panes and windows add theirs.
    static std::set<int> ids = {
        ID_APP_EXIT,           ID_APP_ABOUT,    ID_VIEW_FULL_SCREEN, ID_VIEW_LEFT_PANE,
        ID_VIEW_STATUS_BAR,    ID_VIEW_TOOLBAR, ID_TOOLS_RESET,      ID_VIEW_STRIP,
        ID_VIEW_OVERVIEW,      ID_NOTHING_1,    ID_NOTHING_2,        ID_SLIDE_PAUSE,
        ID_FILE_OPEN_IMAGE,    ID_FILE_SAVE_AS, ID_FILE_SAVE_BUTTON, ID_ZOOM_IN,
        ID_ZOOM_IN_CONTEXT,    ID_ZOOM_OUT,     ID_ZOOM_FIT,         ID_ZOOM_ACTUAL,
        ID_ZOOM_ACTUAL_BUTTON, ID_VIEW_RELOAD,  ID_NEXT_PICTURE,     ID_PREV_PICTURE,
        ID_SLIDE_SHOW,         ID_VIEW_LIST,    ID_TOOLS_EXPORT_GPS, ID_TOOLS_EXPORT_GPS2,
        ID_WORK_CLEAR,         ID_WORK_WHOLE,   ID_STRIP_CENTRE,     ID_STRIP_CENTRE_FILL,
        ID_TOOLS_CLEAR_THUMBS, ID_HELP_FINDER,  ID_HELP_HOMEPAGE,    ID_HELP_CONTACT};
    return ids;
}

bool Rule(int id, const FrameFlags& f) {
    const bool L = f.imageLoaded, M = f.imageMode, R = f.rotated;
    switch (id) {
    case ID_FILE_SAVE_AS:
    case ID_FILE_PRINT:
    case ID_ZOOM_FIT:
    case ID_VIEW_OVERVIEW:
        return L;
    case ID_FILE_SAVE_BUTTON:
    case ID_FILE_PROPERTIES:
    case ID_EDIT_RENAME:
    case ID_VIEW_RELOAD:
    case ID_ZOOM_ACTUAL_BUTTON:
        return L && M;
    case ID_EDIT_DELETE:
    case ID_EDIT_MOVE:
        return !(M && !L);
    case ID_EDIT_RESIZE:
    case ID_ADJ_INVERT:
    case ID_ADJ_GREY:
    case ID_ADJ_SMOOTH:
    case ID_ADJ_BLACK_WHITE:
    case ID_ADJ_LINES:
    case ID_ADJ_FLIP_LR:
    case ID_ADJ_FLIP_TB:
        return L && !R;
    case ID_ZOOM_IN:
        return L && M && f.zoom != f.maxZoom;
    case ID_ZOOM_OUT:
        return L && M && f.zoom > f.minZoom;
    case ID_ROTATE_RIGHT:
    case ID_ROTATE_RIGHT_HIDDEN: // no menu item, key or button reaches it
    case ID_ROTATE_LEFT:
        return L && M && f.zoom <= 1.0f;
    case ID_NEXT_PICTURE:
        return M && f.count >= 2 && f.curIndex >= 0 && f.curIndex < f.count - 1;
    case ID_PREV_PICTURE:
        return M && f.count >= 1 && f.curIndex > 0;
    case ID_SLIDE_SHOW:
    case ID_TOOLS_SEARCH:
        return M;
    case ID_UNBOUND_F7:
    case ID_UNBOUND_HOME:
        return false;
    default:
        return true;
    }
}

} // namespace

bool IsCommandAvailable(int id) {
    return Available().count(id) != 0;
}

void SetCommandAvailable(int id, bool available) {
    if (available)
        Available().insert(id);
    else
        Available().erase(id);
}

CommandUi QueryCommandUi(int id, const FrameFlags& f) {
    CommandUi ui;
    ui.enabled = IsCommandAvailable(id) && Rule(id, f);
    switch (id) {
    case ID_VIEW_OVERVIEW:
        ui.checked = f.overviewOn;
        break;
    case ID_VIEW_STATUS_BAR:
        ui.checked = f.statusBarShown;
        break;
    case ID_VIEW_TOOLBAR:
        ui.checked = f.toolBarShown;
        break;
    default:
        break;
    }
    return ui;
}
