// The main window's resize rule.
#include "app/main_layout.h"

namespace qv {

MainLayout ComputeMainLayout(int W, int H, int S, int tv1Width) {
    MainLayout l;
    const auto valid = [](int v) -> std::optional<int> {
        return v >= 0 ? std::optional<int>(v) : std::nullopt;
    };
    l.tv1Height = valid(H - 120 - S + 30);
    l.lstHeight = valid(H - kListTop - 60 - S + 30);
    l.tv1Width = valid(W - kListWidth - 180);
    l.rightLeft = l.tv1Width.value_or(tv1Width) + 60 + 60;
    return l;
}

}  // namespace qv
