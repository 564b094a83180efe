#include "platform/WallpaperSetter.h"

#include "platform/ChildProcess.h"
#include "platform/DesktopLauncher.h"
#include "platform/RootWallpaper.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

CDesktopWallpaperSetter g_desktopSetter;
IWallpaperSetter* g_setter = &g_desktopSetter;

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string FileUri(const std::string& path) {
    return "file://" + PercentEncode(path, "/");
}

// A string in GVariant's text form: quoted, with its quotes and backslashes
// escaped, so gsettings never reads the value as another type.
std::string GVariantString(const std::string& s) {
    std::string out = "'";
    for (char c : s) {
        if (c == '\'' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "'";
}

const char* GnomeOption(EWallpaperStyle style) {
    switch (style) {
    case EWallpaperStyle::kTile:
        return "wallpaper";
    case EWallpaperStyle::kCenter:
        return "centered";
    case EWallpaperStyle::kStretch:
        break;
    }
    return "stretched";
}

// Xfce's image-style: 1 centred, 2 tiled, 3 stretched.
const char* XfceStyle(EWallpaperStyle style) {
    switch (style) {
    case EWallpaperStyle::kTile:
        return "2";
    case EWallpaperStyle::kCenter:
        return "1";
    case EWallpaperStyle::kStretch:
        break;
    }
    return "3";
}

// Plasma's FillMode: 3 tiled, 6 centred ("pad"), 0 stretched.
const char* PlasmaFillMode(EWallpaperStyle style) {
    switch (style) {
    case EWallpaperStyle::kTile:
        return "3";
    case EWallpaperStyle::kCenter:
        return "6";
    case EWallpaperStyle::kStretch:
        break;
    }
    return "0";
}

void GSettings(std::vector<SetterCommand>& cmds, const char* schema, const char* key,
               const std::string& value, bool required) {
    cmds.push_back({{"gsettings", "set", schema, key, GVariantString(value)}, required});
}

// Sets the picture key to nothing, then to the picture, so that the desktop
// loads the file again.
void GSettingsPicture(std::vector<SetterCommand>& cmds, const char* schema, const char* key,
                      const std::string& value, bool required) {
    GSettings(cmds, schema, key, "", false);
    GSettings(cmds, schema, key, value, required);
}

SetterCommand PlasmaScript(const std::string& body) {
    const std::string script = "var all = desktops();"
                               "for (var i = 0; i < all.length; ++i) {"
                               " var d = all[i];"
                               " d.wallpaperPlugin = \"org.kde.image\";"
                               " d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", "
                               "\"General\"];" +
                               body + "}";
    return {{"dbus-send", "--session", "--print-reply", "--type=method_call",
             "--dest=org.kde.plasmashell", "/PlasmaShell", "org.kde.PlasmaShell.evaluateScript",
             "string:" + script}};
}

} // namespace

IWallpaperSetter& WallpaperSetter() {
    return *g_setter;
}

IWallpaperSetter* SetWallpaperSetter(IWallpaperSetter* setter) {
    IWallpaperSetter* old = g_setter;
    g_setter = setter ? setter : &g_desktopSetter;
    return old;
}

EDesktop DetectDesktop(const char* currentDesktop, const char* display,
                       const char* waylandDisplay) {
    std::string list = Lower(currentDesktop ? currentDesktop : "");
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(':', start);
        if (end == std::string::npos)
            end = list.size();
        const std::string name = list.substr(start, end - start);
        if (name == "gnome" || name == "gnome-classic" || name == "gnome-flashback" ||
            name == "unity" || name == "budgie" || name == "pantheon")
            return EDesktop::kGnome;
        if (name == "x-cinnamon" || name == "cinnamon")
            return EDesktop::kCinnamon;
        if (name == "mate")
            return EDesktop::kMate;
        if (name == "xfce")
            return EDesktop::kXfce;
        if (name == "kde")
            return EDesktop::kKde;
        start = end + 1;
    }
    auto set = [](const char* v) { return v && *v; };
    return set(display) && !set(waylandDisplay) ? EDesktop::kPlainX : EDesktop::kNone;
}

std::vector<SetterCommand> WallpaperCommands(EDesktop desktop, const std::string& path,
                                             EWallpaperStyle style,
                                             const std::string& xfceProperties) {
    std::vector<SetterCommand> cmds;
    switch (desktop) {
    case EDesktop::kGnome: {
        const char* schema = "org.gnome.desktop.background";
        GSettings(cmds, schema, "picture-options", GnomeOption(style), true);
        GSettingsPicture(cmds, schema, "picture-uri", FileUri(path), true);
        // The dark style's picture (GNOME 42 and later; older ones lack the key).
        GSettingsPicture(cmds, schema, "picture-uri-dark", FileUri(path), false);
        break;
    }
    case EDesktop::kCinnamon: {
        const char* schema = "org.cinnamon.desktop.background";
        GSettings(cmds, schema, "picture-options", GnomeOption(style), true);
        GSettingsPicture(cmds, schema, "picture-uri", FileUri(path), true);
        break;
    }
    case EDesktop::kMate: {
        const char* schema = "org.mate.background";
        GSettings(cmds, schema, "picture-options", GnomeOption(style), true);
        GSettingsPicture(cmds, schema, "picture-filename", path, true);
        break;
    }
    case EDesktop::kXfce: {
        // Every monitor and workspace that has a backdrop; the first one of
        // the first monitor when none has been set up yet.
        std::vector<std::string> props;
        std::size_t start = 0;
        const std::string suffix = "/last-image";
        while (start < xfceProperties.size()) {
            std::size_t end = xfceProperties.find('\n', start);
            if (end == std::string::npos)
                end = xfceProperties.size();
            std::string line = xfceProperties.substr(start, end - start);
            if (line.size() > suffix.size() && line.front() == '/' &&
                line.compare(line.size() - suffix.size(), suffix.size(), suffix) == 0)
                props.push_back(line);
            start = end + 1;
        }
        if (props.empty())
            props.push_back("/backdrop/screen0/monitor0/workspace0/last-image");
        for (const std::string& p : props) {
            const std::string base = p.substr(0, p.size() - suffix.size() + 1);
            auto set = [&](const std::string& prop, const char* type, const std::string& v,
                           bool required) {
                cmds.push_back(
                    {{"xfconf-query", "-c", "xfce4-desktop", "-p", prop, "-n", "-t", type, "-s", v},
                     required});
            };
            set(base + "image-style", "int", XfceStyle(style), true);
            set(p, "string", "", false);
            set(p, "string", path, true);
        }
        break;
    }
    case EDesktop::kKde:
        cmds.push_back(PlasmaScript(" d.writeConfig(\"Image\", \"\");"));
        cmds.back().required = false;
        cmds.push_back(PlasmaScript(std::string(" d.writeConfig(\"FillMode\", ") +
                                    PlasmaFillMode(style) + "); d.writeConfig(\"Image\", \"" +
                                    FileUri(path) + "\");"));
        break;
    case EDesktop::kPlainX:
    case EDesktop::kNone:
        break;
    }
    return cmds;
}

int RunProgram(const std::vector<std::string>& argv, std::string* out, int timeoutMs) {
    if (argv.empty())
        return -1;
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    // The output goes to a pipe only when it is wanted: a program may leave a
    // service running that keeps its output open.
    int pipeFds[2] = {-1, -1};
    if (out && ::pipe2(pipeFds, O_CLOEXEC) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (out)
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int error = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (out)
        ::close(pipeFds[1]);
    if (error != 0) {
        if (out)
            ::close(pipeFds[0]);
        return -1;
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    auto msLeft = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now())
            .count();
    };
    // Collect the output until the program closes it or the time is up.
    while (out && msLeft() > 0) {
        pollfd p{pipeFds[0], POLLIN, 0};
        int ready = ::poll(&p, 1, static_cast<int>(msLeft()));
        if (ready < 0 && errno != EINTR)
            break;
        if (ready <= 0)
            continue;
        char buf[4096];
        ssize_t n = ::read(pipeFds[0], buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        out->append(buf, static_cast<std::size_t>(n));
    }
    if (out)
        ::close(pipeFds[0]);
    const std::optional<int> status = WaitForChild(pid, deadline, true);
    return status && WIFEXITED(*status) ? WEXITSTATUS(*status) : -1;
}

bool CDesktopWallpaperSetter::SetWallpaper(const std::string& path, EWallpaperStyle style) {
    const EDesktop desktop = DetectDesktop(std::getenv("XDG_CURRENT_DESKTOP"),
                                           std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"));
    if (desktop == EDesktop::kNone)
        return false;
    if (desktop == EDesktop::kPlainX)
        return SetRootWallpaper(path, style);
    std::string xfceProperties;
    if (desktop == EDesktop::kXfce &&
        RunProgram({"xfconf-query", "-c", "xfce4-desktop", "-l"}, &xfceProperties) != 0)
        return false;
    for (const SetterCommand& c : WallpaperCommands(desktop, path, style, xfceProperties))
        if (RunProgram(c.argv, nullptr) != 0 && c.required)
            return false;
    return true;
}
