// app.cpp: the game's global state and the fatal-error exit.
#include "app/app.h"

#include <cstdlib>

#include "app/log.h"
#include "data/text.h"
#include "platform.h"

AppState App;

namespace {

// The loaded language's text, or the built-in English one when the language
// could not be loaded: a fatal message must never be an empty box.
std::string ErrorText(const std::string& key) {
    const std::string& text = Text(key);
    return text.empty() ? BuiltInErrorText(key) : text;
}

}  // namespace

[[noreturn]] void FatalError(const std::string& messageKey, const std::string& suffix) {
    MessageBox("Prismoria::" + ErrorText("tErrorERROR"), ErrorText(messageKey) + suffix);
    CloseLog();  // flush what was logged; nothing else is saved
    std::_Exit(1);
}
