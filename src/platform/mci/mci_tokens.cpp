// Word splitting of command strings. Quoting follows the classic interface (a
// quoted word may hold blanks); a doubled quote inside is one literal quote,
// which is how a path holding both a blank and a quote is written.
#include "platform/mci/mci_tokens.h"

#include "platform/mci/mci_errors.h"

namespace qv {

namespace {
bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}
}  // namespace

int SplitMciCommand(const QString& command, std::vector<MciToken>* tokens) {
    tokens->clear();
    const qsizetype n = command.size();
    qsizetype i = 0;
    while (true) {
        while (i < n && IsBlank(command[i])) ++i;
        if (i >= n) return 0;
        MciToken token;
        if (command[i] == u'"') {
            token.quoted = true;
            ++i;
            bool closed = false;
            while (i < n) {
                if (command[i] != u'"') {
                    token.text += command[i++];
                    continue;
                }
                if (i + 1 < n && command[i + 1] == u'"') {
                    token.text += u'"';
                    i += 2;
                    continue;
                }
                closed = true;
                ++i;
                break;
            }
            if (!closed) return mcierr::kNoClosingQuote;
            if (i < n && !IsBlank(command[i])) return mcierr::kExtraCharacters;
        } else {
            while (i < n && !IsBlank(command[i])) token.text += command[i++];
        }
        tokens->push_back(std::move(token));
    }
}

}  // namespace qv
