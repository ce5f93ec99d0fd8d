// The process: one copy per user, the application with its Japanese
// translation, the program state, Main, and the event loop.
#pragma once

namespace qv {

int RunProgram(int argc, char** argv);

}  // namespace qv
