#pragma once
#include <string>
#include <vector>

// Making a picture file the desktop's wallpaper. The program reaches the
// desktop through one setter object so that tests can script it.

enum class EWallpaperStyle { kTile, kCenter, kStretch };

class IWallpaperSetter {
public:
    virtual ~IWallpaperSetter() = default;
    // Makes the picture file at path (absolute) the wallpaper, tiled, centred
    // or stretched over the screen. The desktop shows the file's content as
    // it is now, also when the path is the one it shows already. True when
    // the desktop took the picture.
    virtual bool SetWallpaper(const std::string& path, EWallpaperStyle style) = 0;
};

// The setter in use; never null. Until another is installed it is the
// desktop's own (CDesktopWallpaperSetter).
IWallpaperSetter& WallpaperSetter();
// Installs another setter (tests; null puts the desktop's own back). Returns
// the previous one.
IWallpaperSetter* SetWallpaperSetter(IWallpaperSetter* setter);

// The desktops whose wallpaper the program knows how to set.
enum class EDesktop {
    kGnome,    // GNOME and the desktops built on its settings (Unity, Budgie, Pantheon)
    kCinnamon, // its own copy of GNOME's settings
    kMate,     // likewise, with a file name instead of a URI
    kXfce,     // xfconf, channel xfce4-desktop
    kKde,      // Plasma's desktop scripting
    kPlainX,   // any other X session: the root window's background
    kNone,     // no known desktop, and no X session (or a Wayland one)
};

// The desktop from $XDG_CURRENT_DESKTOP (a ":"-separated list, the first
// known name wins, without regard to case), $DISPLAY and $WAYLAND_DISPLAY
// (null: unset). Under an unknown Wayland compositor the X root window
// (XWayland's) is never seen, so that is no desktop either.
EDesktop DetectDesktop(const char* currentDesktop, const char* display, const char* waylandDisplay);

// The commands that set the wallpaper on a desktop of the settings kind
// (every kind but kPlainX and kNone), in order; the picture is `path`.
// Xfce's commands name the backdrop properties listed by
// "xfconf-query -c xfce4-desktop -l", given in xfceProperties (one a line).
// Each command that names the picture first names another value, so the
// desktop reads the file again even when the path is unchanged.
struct SetterCommand {
    std::vector<std::string> argv;
    bool required = true; // false: its failure is ignored (a key older versions lack)
};
std::vector<SetterCommand> WallpaperCommands(EDesktop desktop, const std::string& path,
                                             EWallpaperStyle style,
                                             const std::string& xfceProperties = {});

// Runs a program found on PATH with its input from /dev/null, collecting its
// output into out (when not null); it is stopped after timeoutMs. Returns its
// exit status, or -1 when it could not be started, was stopped, or died of a
// signal.
int RunProgram(const std::vector<std::string>& argv, std::string* out, int timeoutMs = 10000);

// The desktop's own setter: on the desktops of the settings kind it runs
// WallpaperCommands; under a plain X window manager it paints the root
// window (SetRootWallpaper, platform/RootWallpaper.h). The desktop is detected at each call.
class CDesktopWallpaperSetter final : public IWallpaperSetter {
public:
    bool SetWallpaper(const std::string& path, EWallpaperStyle style) override;
};
