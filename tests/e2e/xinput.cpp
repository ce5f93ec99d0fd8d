// A tiny stand-in for a user at an X display, for the end-to-end tests: moves
// the pointer and clicks, or presses a key, through the XTEST extension.
// Usage: xinput click X Y [BUTTON] | xinput key KEYSYM
#include <X11/Xlib.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

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

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: xinput click X Y [BUTTON] | xinput key KEYSYM\n");
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
    } else {
        return 2;
    }
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
