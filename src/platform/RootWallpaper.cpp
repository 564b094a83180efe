#include "platform/RootWallpaper.h"

#include "image/Codec.h"
#include "image/ResizeSave.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <bit>
#include <cstring>
#include <cstdlib>

namespace {

bool g_bXError = false;

int NoteXError(Display*, XErrorEvent*) {
    g_bXError = true;
    return 0;
}

// Where a colour channel of 8 bits goes in a pixel value of the visual.
struct Channel {
    int shift = 0, bits = 0;
    explicit Channel(unsigned long mask)
        : shift(mask ? std::countr_zero(mask) : 0), bits(std::popcount(mask)) {}
    unsigned long Place(unsigned v) const {
        unsigned long scaled = bits >= 8 ? static_cast<unsigned long>(v) << (bits - 8)
                                         : static_cast<unsigned long>(v >> (8 - bits));
        return scaled << shift;
    }
};

Pixmap ReadPixmapProperty(Display* dpy, Window root, Atom name) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    Pixmap pm = None;
    if (XGetWindowProperty(dpy, root, name, 0, 1, False, AnyPropertyType, &type, &format, &count,
                           &after, &data) == Success &&
        type == XA_PIXMAP && format == 32 && count == 1 && data)
        pm = *reinterpret_cast<Pixmap*>(data);
    if (data)
        XFree(data);
    return pm;
}

// Fills an X image of the screen's size from a bottom-up picture of that size.
void FillImage(XImage* img, const CImageBuffer& screen, Visual* visual) {
    const Channel r(visual->red_mask), g(visual->green_mask), b(visual->blue_mask);
    const int w = screen.Width(), h = screen.Height();
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* p = screen.Row(h - 1 - y);
        for (int x = 0; x < w; ++x, p += 3)
            XPutPixel(img, x, y, r.Place(p[2]) | g.Place(p[1]) | b.Place(p[0]));
    }
}

} // namespace

bool ComposeWallpaper(const CImageBuffer& picture, int screenW, int screenH, EWallpaperStyle style,
                      CImageBuffer& out) {
    if (picture.IsEmpty() || screenW <= 0 || screenH <= 0)
        return false;
    if (style == EWallpaperStyle::kStretch)
        return ResampleImage(picture, screenW, screenH, out);
    if (!out.Allocate(screenW, screenH, RGB(0, 0, 0)))
        return false;
    const int w = picture.Width(), h = picture.Height();
    const bool tile = style == EWallpaperStyle::kTile;
    // The picture's top left corner on the screen, in top-down coordinates.
    const int left = tile ? 0 : (screenW - w) / 2;
    const int top = tile ? 0 : (screenH - h) / 2;
    // The screen's columns that show the picture, and the first one's column
    // in the picture.
    const int x0 = std::max(left, 0), x1 = tile ? screenW : std::min(left + w, screenW);
    for (int y = 0; y < screenH; ++y) {
        const int py = tile ? y % h : y - top; // picture row, top-down
        if (py < 0 || py >= h)
            continue;
        const std::uint8_t* src = picture.Row(h - 1 - py);
        std::uint8_t* dst = out.Row(screenH - 1 - y);
        for (int x = x0; x < x1;) {
            const int px = tile ? 0 : x - left;
            const int n = std::min(w - px, x1 - x);
            std::memcpy(dst + 3 * std::size_t(x), src + 3 * std::size_t(px), 3 * std::size_t(n));
            x += n;
        }
    }
    return true;
}

bool SetRootWallpaper(const std::string& path, EWallpaperStyle style) {
    CImageBuffer picture;
    if (!LoadImageFile(path, picture))
        return false;
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return false;
    // An X error must not end the program (Xlib's own handler would).
    g_bXError = false;
    XErrorHandler oldHandler = XSetErrorHandler(NoteXError);
    const int scr = DefaultScreen(dpy);
    const Window root = RootWindow(dpy, scr);
    const int w = DisplayWidth(dpy, scr), h = DisplayHeight(dpy, scr);
    const int depth = DefaultDepth(dpy, scr);
    Visual* visual = DefaultVisual(dpy, scr);
    bool ok = false;
    CImageBuffer screen;
    XImage* img = nullptr;
    if (visual->red_mask && visual->green_mask && visual->blue_mask &&
        ComposeWallpaper(picture, w, h, style, screen)) {
        picture.FreeBits();
        img = XCreateImage(dpy, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                           static_cast<unsigned>(w), static_cast<unsigned>(h), 32, 0);
        if (img)
            img->data = static_cast<char*>(std::malloc(std::size_t(img->bytes_per_line) * h));
    }
    if (img && img->data) {
        FillImage(img, screen, visual);
        screen.FreeBits();
        const Pixmap pm = XCreatePixmap(dpy, root, static_cast<unsigned>(w),
                                        static_cast<unsigned>(h), static_cast<unsigned>(depth));
        GC gc = XCreateGC(dpy, pm, 0, nullptr);
        XPutImage(dpy, pm, gc, img, 0, 0, 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h));
        XFreeGC(dpy, gc);

        const Atom rootId = XInternAtom(dpy, "_XROOTPMAP_ID", False);
        const Atom esetrootId = XInternAtom(dpy, "ESETROOT_PMAP_ID", False);
        const Pixmap oldRoot = ReadPixmapProperty(dpy, root, rootId);
        const Pixmap oldEsetroot = ReadPixmapProperty(dpy, root, esetrootId);
        for (Atom a : {rootId, esetrootId})
            XChangeProperty(dpy, root, a, XA_PIXMAP, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&pm), 1);
        XSetWindowBackgroundPixmap(dpy, root, pm);
        XClearWindow(dpy, root);
        XSync(dpy, False);
        ok = !g_bXError;
        // The pixmap outlives this connection; the one a setter left before
        // (announced under both names) is freed with the resources it kept.
        if (ok) {
            XSetCloseDownMode(dpy, RetainPermanent);
            if (oldRoot != None && oldRoot == oldEsetroot && oldRoot != pm)
                XKillClient(dpy, oldRoot);
        } else {
            XFreePixmap(dpy, pm);
        }
        XSync(dpy, False);
    }
    if (img)
        XDestroyImage(img); // frees the pixel data too
    XCloseDisplay(dpy);
    XSetErrorHandler(oldHandler);
    return ok;
}
