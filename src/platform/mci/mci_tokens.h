// Splits a media-control command string into words: blanks separate them, a
// word in double quotes may hold blanks, and "" inside quotes stands for ".
#pragma once

#include <QString>
#include <vector>

namespace qv {

struct MciToken {
    QString text;
    bool quoted = false;  // written in double quotes: never taken as a keyword
};

// 0 and the words in *tokens, or the MCI error number of the fault (a quote
// left open, characters glued to a closing quote).
int SplitMciCommand(const QString& command, std::vector<MciToken>* tokens);

}  // namespace qv
