// The translations the program speaks through: its own English one, and Qt's
// own strings (message-box buttons, the folder picker) in the same language.
#pragma once

#include "app/settings.h"

namespace qv {

// Installs the translations of the language, taking out those an earlier call
// installed (a test switches back). Japanese needs no translation of the
// program's texts, only Qt's. False when one could not be loaded; the program
// then shows what it has.
bool InstallLanguage(UiLanguage language);

}  // namespace qv
