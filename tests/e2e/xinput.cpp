// A tiny stand-in for a user at an X display, for the end-to-end tests: moves
// the pointer and clicks, presses a key, or types UTF-8 text, through XTEST.
// Usage: xinput click X Y [BUTTON] | xinput key KEYSYM | xinput type TEXT
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// libXtst is loaded at run time: only its shared library is installed (by
// the X utilities), not its headers.
using FakeMotion = int (*)(Display*, int, int, int, unsigned long);
using FakeButton = int (*)(Display*, unsigned int, Bool, unsigned long);
using FakeKey = int (*)(Display*, unsigned int, Bool, unsigned long);

template <typename F>
F Load(void* lib, const char* name) {
    return reinterpret_cast<F>(dlsym(lib, name));
}

// The code points of UTF-8 text (the test scripts' own text: no validation).
std::vector<unsigned long> CodePoints(const char* text) {
    std::vector<unsigned long> out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p;) {
        int extra = *p >= 0xF0 ? 3 : *p >= 0xE0 ? 2 : *p >= 0xC0 ? 1 : 0;
        unsigned long cp = extra ? *p & (0x3F >> extra) : *p;
        ++p;
        for (; extra > 0 && (*p & 0xC0) == 0x80; --extra, ++p) cp = (cp << 6) | (*p & 0x3F);
        out.push_back(cp);
    }
    return out;
}

// Types text no key of the keyboard map carries (Japanese, say): each
// character is put on a keycode without symbols for as long as it takes to
// press it, as an input method would hand it over.
int TypeText(Display* display, FakeKey key, const char* text) {
    int low = 0;
    int high = 0;
    XDisplayKeycodes(display, &low, &high);
    int perCode = 0;
    KeySym* map = XGetKeyboardMapping(display, static_cast<KeyCode>(low), high - low + 1, &perCode);
    int spare = 0;
    for (int code = high; code >= low && !spare; --code) {
        bool empty = true;
        for (int i = 0; i < perCode; ++i)
            empty = empty && map[(code - low) * perCode + i] == NoSymbol;
        if (empty) spare = code;
    }
    XFree(map);
    if (!spare) {
        std::fprintf(stderr, "xinput: no free keycode\n");
        return 1;
    }
    for (const unsigned long cp : CodePoints(text)) {
        // Latin-1 keysyms are the code points; the rest are 0x1000000 + code point.
        KeySym sym = cp < 0x100 ? cp : 0x1000000 + cp;
        XChangeKeyboardMapping(display, spare, 1, &sym, 1);
        XSync(display, False);
        usleep(150000);  // the program reloads its keyboard map first
        key(display, static_cast<unsigned int>(spare), True, CurrentTime);
        key(display, static_cast<unsigned int>(spare), False, 30);
        XSync(display, False);
        usleep(150000);
    }
    KeySym none = NoSymbol;
    XChangeKeyboardMapping(display, spare, 1, &none, 1);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: xinput click X Y [BUTTON] | xinput key KEYSYM | xinput type TEXT\n");
        return 2;
    }
    void* lib = dlopen("libXtst.so.6", RTLD_NOW);
    Display* display = XOpenDisplay(nullptr);
    if (!lib || !display) {
        std::fprintf(stderr, "xinput: no XTEST library or no display\n");
        return 1;
    }
    const auto motion = Load<FakeMotion>(lib, "XTestFakeMotionEvent");
    const auto button = Load<FakeButton>(lib, "XTestFakeButtonEvent");
    const auto key = Load<FakeKey>(lib, "XTestFakeKeyEvent");
    if (!motion || !button || !key) return 1;
    if (!std::strcmp(argv[1], "click") && argc >= 4) {
        const unsigned int b = argc > 4 ? static_cast<unsigned int>(std::atoi(argv[4])) : 1;
        motion(display, -1, std::atoi(argv[2]), std::atoi(argv[3]), CurrentTime);
        XSync(display, False);
        button(display, b, True, CurrentTime);
        button(display, b, False, 30);
    } else if (!std::strcmp(argv[1], "key")) {
        const KeySym sym = XStringToKeysym(argv[2]);
        const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(display, sym);
        if (!code) {
            std::fprintf(stderr, "xinput: no key %s\n", argv[2]);
            return 1;
        }
        key(display, code, True, CurrentTime);
        key(display, code, False, 30);
    } else if (!std::strcmp(argv[1], "type")) {
        if (TypeText(display, key, argv[2])) return 1;
    } else {
        return 2;
    }
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
