#pragma once
// Secrets typed at the terminal with the echo off, the prompt on standard error: a password or a
// key typed there is never on the screen, in the process list or in the shell's history.
#include <string>

#include "base/secret.h"

namespace orvacct {

// Whether standard input is a terminal, where a person types.
bool standardInputIsTerminal();

// One line typed with the echo off after `prompt`, without its line break: from standard input
// when that is a terminal, else from the process's own terminal, so a key can be typed while the
// items come from a file. `what` names it in failures: there is no terminal, or the input ended
// before a line. Interrupted (Ctrl+C), the terminal gets its echo back.
orv::SecretText readHidden(const std::string& prompt, const std::string& what);

// The failure of a prompt whose input ended before a line: "no key was typed: the input ended".
std::string nothingTyped(const std::string& what);

// The same twice, refusing two different entries: what encrypts must have been typed as meant.
orv::SecretText readHiddenTwice(const std::string& prompt, const std::string& again, const std::string& what);

}  // namespace orvacct
