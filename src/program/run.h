// The process: one copy per user, the application with its Japanese
// translation, the program state, Main, and the event loop.
#pragma once

namespace qv {

int RunProgram(int argc, char** argv);

// Qt's own Japanese translation for the application (the message boxes'
// はい(&Y) and いいえ(&N)); false when qtbase_ja.qm is not installed.
bool InstallQtJapanese();

}  // namespace qv
