// The main window's resize rule, in twips: the tree and the playlist grow with
// the window, the right column follows the tree. Each size is set on its own
// and skipped when it would be invalid (negative).
#pragma once

#include <optional>

namespace qv {

struct MainLayout {
    std::optional<int> tv1Height;
    std::optional<int> lstHeight;
    std::optional<int> tv1Width;
    // Left of lstPL, Frame1, frameOperation and frameListOperation.
    int rightLeft = 0;
};

constexpr int kListTop = 1560;
constexpr int kListWidth = 3795;

// W, H: the client area; S: the status bar's height; tv1Width: TV1's present
// width (used for the right column when its own new width is skipped).
MainLayout ComputeMainLayout(int W, int H, int S, int tv1Width);

}  // namespace qv
