#include "app/CommandTable.h"

#include "app/CommandIds.h"

#include <map>

namespace {

MenuItem Item(int id, const char* text) {
    return {id, text, {}};
}
MenuItem Popup(const char* text, std::vector<MenuItem> items) {
    return {0, text, std::move(items)};
}

const std::map<int, std::string>& Prompts() {
    static const std::map<int, std::string> prompts = {
        {ID_FILE_OPEN_IMAGE, "打开图形文件"},
        {ID_FILE_SAVE_AS, "保存为另一种图形文件格式"},
        {ID_FILE_SAVE_BUTTON, "保存文件\n保存文件"},
        {ID_FILE_PRINT, "打印当前的图形"},
        {ID_FILE_PROPERTIES, "显示当前图片的属性\n文件信息"},
        {ID_APP_EXIT, "退出系统"},
        {ID_EDIT_COPY_TO, "复制当前的图形文件"},
        {ID_EDIT_DELETE, "删除当前的图形文件\n删除"},
        {ID_EDIT_MOVE, "移动文件\n移动文件"},
        {ID_EDIT_RENAME, "重命名\n重命名"},
        {ID_EDIT_BATCH_RENAME, "批量命名当前图形文件夹下的图形文件"},
        {ID_EDIT_RESIZE, "更改尺寸保存图片"},
        {ID_VIEW_RELOAD, "重新加载当前的图形文件\n重新加载"},
        {ID_ZOOM_IN, "放大当前的图形\n放大"},
        {ID_ZOOM_OUT, "缩小当前的图形\n缩小"},
        {ID_ZOOM_FIT, "图形适合当前的窗口"},
        {ID_ZOOM_ACTUAL, "显示图片正常尺寸"},
        {ID_ZOOM_ACTUAL_BUTTON, "显示图形文件的实际大小\n实际大小"},
        {ID_NEXT_PICTURE, "显示下一张图片\n下一张"},
        {ID_PREV_PICTURE, "显示上一张图片\n上一张"},
        {ID_SLIDE_SHOW, "幻灯片显示\n幻灯片"},
        {ID_SLIDE_PAUSE, "停止显示幻灯片\n停止幻灯片"},
        {ID_ADJ_INVERT, "反相"},
        {ID_ADJ_GREY, "以灰度的方式显示当前的图形"},
        {ID_ADJ_SMOOTH, "光滑"},
        {ID_ADJ_BLACK_WHITE, "黑白"},
        {ID_ADJ_LINES, "径向"},
        {ID_ADJ_FLIP_LR, "左右翻转\n左右翻转"},
        {ID_ADJ_FLIP_TB, "上下翻转  \n上下翻转  "},
        {ID_ROTATE_RIGHT, "顺时针旋转图片\n向右旋转"},
        {ID_ROTATE_LEFT, "逆时针旋转图片\n向左旋转"},
        {ID_VIEW_FOLDERS, "目录视图\n目录视图"},
        {ID_VIEW_FAVORITES, "收藏夹\n收藏夹"},
        {ID_VIEW_LIST, "右侧的视图中显示文件的列表"},
        {ID_VIEW_OVERVIEW, "显示缩略图\n缩略图"},
        {ID_VIEW_STRIP, "显示底部缩略图\n底部缩略图"},
        {ID_VIEW_FULL_SCREEN, "以全屏的方式显示当前的图片"},
        {ID_VIEW_LEFT_PANE, "显示或隐藏左侧视图\n隐藏左侧视图"},
        {ID_VIEW_STATUS_BAR, "状态条"},
        {ID_VIEW_TOOLBAR, "工具栏"},
        {ID_TOOLS_SEARCH, "查找文件\n查找"},
        {ID_WALLPAPER_TILE, "以平铺的方式设置壁纸"},
        {ID_WALLPAPER_CENTER, "以居中的方式设置壁纸"},
        {ID_WALLPAPER_STRETCH, "以拉伸的方式设置壁纸"},
        {ID_TOOLS_RESET, "重新初始化系统"},
        {ID_TOOLS_CLEAR_THUMBS, "清空缩略图缓存"},
        {ID_TOOLS_OPTIONS, "系统选项"},
        {ID_HELP_HOMEPAGE, "用默认的网页浏览器访问Tavisk美图站点"},
        {ID_HELP_CONTACT, "给作者写信"},
        {ID_APP_ABOUT, "关于本软件\n关于"},
        {ID_HELP_FINDER, "显示系统帮助\n帮助"},
    };
    return prompts;
}

} // namespace

const std::vector<MenuItem>& MainMenu() {
    static const std::vector<MenuItem> menu = {
        Popup("文件(&F)",
              {Item(ID_FILE_OPEN_IMAGE, "打开     Ctrl+0   "),
               Item(ID_FILE_SAVE_AS, "保存     Ctrl+S"), Item(ID_FILE_PRINT, "打印     Ctrl+P"),
               Item(ID_FILE_PROPERTIES, "属性      F2"), Item(ID_APP_EXIT, "退出     Alt+X")}),
        Popup("编辑(&E)",
              {Item(ID_EDIT_COPY_TO, "复制到    Ctrl+C    "),
               Item(ID_EDIT_DELETE, "删除      Delete"), Item(ID_EDIT_RENAME, "重命名    Ctrl+R"),
               Item(ID_EDIT_BATCH_RENAME, "批量命名  Ctrl+N"), Item(ID_EDIT_RESIZE, "更改尺寸 "),
               Item(ID_VIEW_RELOAD, "重新载入   ")}),
        Popup("显示(&S)",
              {Item(ID_ZOOM_IN, "放大      Numpad 0  "), Item(ID_ZOOM_OUT, "缩小      Nunpad 1"),
               Item(ID_ZOOM_FIT, "适合      Numpad 2"), Item(ID_ZOOM_ACTUAL, "正常      Home  "),
               Item(ID_NEXT_PICTURE, "下一张    Numpad +"),
               Item(ID_PREV_PICTURE, "前一张    Numpad -"), Item(ID_SLIDE_SHOW, "幻灯片     F6"),
               Item(ID_ZOOM_SELECTION, "放大选区")}),
        Popup("调整(&A)", {Item(ID_ADJ_INVERT, "全反色      "), Item(ID_ADJ_GREY, "灰度图像"),
                           Item(ID_ADJ_SMOOTH, "光滑效果"), Item(ID_ADJ_BLACK_WHITE, "黑白图像"),
                           Item(ID_ADJ_LINES, "线条化"), Item(ID_ADJ_FLIP_LR, "左右翻转"),
                           Item(ID_ADJ_FLIP_TB, "上下翻转  "), Item(ID_ROTATE_RIGHT, "向右旋转"),
                           Item(ID_ROTATE_LEFT, "向左旋转")}),
        Popup("视图(&V)",
              {Item(ID_VIEW_FOLDERS, "文件夹"), Item(ID_VIEW_FAVORITES, "收藏夹"),
               Item(ID_VIEW_LIST, "列表"), Item(ID_VIEW_OVERVIEW, "鸟瞰图"),
               Item(ID_VIEW_STRIP, "缩略图 "), Item(ID_VIEW_FULL_SCREEN, "全屏模式   Esc"),
               Item(ID_VIEW_LEFT_PANE, "简屏模式   Space"), Item(ID_VIEW_STATUS_BAR, "状态条"),
               Item(ID_VIEW_TOOLBAR, "工具栏")}),
        Popup(
            "工具(&T)",
            {Item(ID_TOOLS_SEARCH, "搜索图片     F3     "),
             Popup("设置壁纸", {Item(ID_WALLPAPER_TILE, "平铺"), Item(ID_WALLPAPER_CENTER, "居中"),
                                Item(ID_WALLPAPER_STRETCH, "拉伸 ")}),
             Item(ID_TOOLS_RESET, "重置系统"), Item(ID_TOOLS_CLEAR_THUMBS, "清空缩略图"),
             Item(ID_TOOLS_OPTIONS, "选项          F5"), Item(ID_TOOLS_EXPORT_GPS, "导出GPS信息")}),
        Popup("帮助(&H)", {Item(ID_HELP_HOMEPAGE, "主页"), Item(ID_HELP_CONTACT, "联系 "),
                           Item(ID_APP_ABOUT, "关于")}),
    };
    return menu;
}

const std::vector<MenuItem>& ActualSizeMenu() {
    static const std::vector<MenuItem> menu = {Item(ID_ZOOM_ACTUAL, "实际大小"),
                                               Item(ID_ZOOM_FIT, "适合图像")};
    return menu;
}

const std::vector<int>& ToolBarButtons() {
    static const std::vector<int> buttons = {ID_VIEW_LEFT_PANE,
                                             ID_FILE_SAVE_BUTTON,
                                             ID_EDIT_MOVE,
                                             ID_EDIT_RENAME,
                                             ID_EDIT_DELETE,
                                             0,
                                             ID_TOOLS_SEARCH,
                                             ID_VIEW_RELOAD,
                                             ID_ROTATE_LEFT,
                                             ID_ROTATE_RIGHT,
                                             ID_ZOOM_IN,
                                             ID_ZOOM_OUT,
                                             ID_ZOOM_ACTUAL_BUTTON,
                                             0,
                                             ID_PREV_PICTURE,
                                             ID_NEXT_PICTURE,
                                             ID_SLIDE_SHOW,
                                             ID_FILE_PROPERTIES,
                                             ID_APP_ABOUT};
    return buttons;
}

const std::vector<Accelerator>& Accelerators() {
    static const std::vector<Accelerator> keys = {
        {"Ctrl+C", ID_EDIT_COPY_TO},    {"Ctrl+N", ID_EDIT_BATCH_RENAME},
        {"Ctrl+O", ID_FILE_OPEN_IMAGE}, {"Ctrl+P", ID_FILE_PRINT},
        {"Ctrl+R", ID_EDIT_RENAME},     {"Ctrl+S", ID_FILE_SAVE_AS},
        {"Num++", ID_NEXT_PICTURE},     {"Num+-", ID_PREV_PICTURE},
        {"Esc", ID_VIEW_FULL_SCREEN},   {"Pause", ID_SLIDE_PAUSE},
        {"Alt+X", ID_APP_EXIT},         {"F1", ID_HELP_FINDER},
        {"F2", ID_FILE_PROPERTIES},     {"F3", ID_TOOLS_SEARCH},
        {"F5", ID_TOOLS_OPTIONS},       {"F6", ID_SLIDE_SHOW},
        {"F7", ID_UNBOUND_F7},          {"Home", ID_UNBOUND_HOME},
        {"Num+0", ID_ZOOM_IN},          {"Num+1", ID_ZOOM_OUT},
        {"Num+2", ID_ZOOM_FIT},
    };
    return keys;
}

std::string CommandPrompt(int id) {
    auto it = Prompts().find(id);
    if (it == Prompts().end())
        return {};
    return it->second.substr(0, it->second.find('\n'));
}

std::string CommandToolTip(int id) {
    auto it = Prompts().find(id);
    if (it == Prompts().end())
        return {};
    auto nl = it->second.find('\n');
    return nl == std::string::npos ? std::string() : it->second.substr(nl + 1);
}
