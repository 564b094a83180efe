// Presses a key N times in the X server named by DISPLAY, as a user does
// (through the XTEST extension, like xdotool), and times each press to the
// first change of a screen rectangle; after each step and a pause it reads
// the resident size of a process. Built and run by bench/x_stepping.sh.
//   x_step_watch KEYSYM STEPS PAUSE_MS X Y W H PID
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

extern "C" int XTestFakeKeyEvent(Display*, unsigned int, Bool, unsigned long);

namespace {

std::vector<char> Grab(Display* d, int x, int y, int w, int h) {
    XImage* img = XGetImage(d, DefaultRootWindow(d), x, y, w, h, AllPlanes, ZPixmap);
    std::vector<char> bytes(img->data, img->data + img->bytes_per_line * h);
    XDestroyImage(img);
    return bytes;
}

long RssKb(const char* pid) {
    std::ifstream in(std::string("/proc/") + pid + "/status");
    for (std::string key; in >> key;) {
        if (key == "VmRSS:") {
            long kb = 0;
            in >> kb;
            return kb;
        }
        std::getline(in, key);
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 9)
        return 2;
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return 2;
    const KeyCode key = XKeysymToKeycode(d, XStringToKeysym(argv[1]));
    const int steps = std::atoi(argv[2]), pause = std::atoi(argv[3]);
    const int x = std::atoi(argv[4]), y = std::atoi(argv[5]), w = std::atoi(argv[6]),
              h = std::atoi(argv[7]);
    std::vector<double> ms;
    for (int i = 1; i <= steps; ++i) {
        const std::vector<char> before = Grab(d, x, y, w, h);
        const auto t0 = std::chrono::steady_clock::now();
        XTestFakeKeyEvent(d, key, True, CurrentTime);
        XTestFakeKeyEvent(d, key, False, CurrentTime);
        XFlush(d);
        double took = -1;
        while (std::chrono::steady_clock::now() - t0 < std::chrono::seconds(5)) {
            if (Grab(d, x, y, w, h) != before) {
                took =
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                        .count();
                break;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(pause));
        std::printf("step %2d  key to screen %7.1f ms  resident %ld kB\n", i, took, RssKb(argv[8]));
        std::fflush(stdout);
        if (took >= 0)
            ms.push_back(took);
    }
    std::sort(ms.begin(), ms.end());
    if (!ms.empty())
        std::printf("median key to screen: %.1f ms over %zu steps\n", ms[ms.size() / 2], ms.size());
    XCloseDisplay(d);
    return 0;
}
