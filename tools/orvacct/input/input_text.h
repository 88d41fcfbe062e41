#pragma once
// Text the tool takes in, checked before it could be changed silently on its way to the
// component: bytes that are not UTF-8 would become U+FFFD, and a character the ANSI code page
// lacks would become '?' (every Cyrillic key of one length would be the same key).
#include <CLI/CLI.hpp>
#include <filesystem>
#include <string>
#include <string_view>

namespace orvacct {

// How bytes from a file, the environment or standard input are read: UTF-8 (the default), or
// bytes of the ANSI code page as the component itself would take them.
enum class ByteEncoding { Utf8, Ansi };

// --NAME utf8|ansi on the command.
CLI::Option* addEncodingOption(CLI::App& command, const std::string& name, ByteEncoding& encoding,
                               const std::string& description);

// Bytes as text; bytes that are not UTF-8 are refused, naming `what` and the option that
// would read them as code-page bytes. UTF-16 (a byte order mark, or NUL bytes, as PowerShell
// and Notepad's "Unicode" write it) is refused in either encoding, saying how to convert it.
// A secret (a key, a password) is refused without the byte that is not UTF-8, by its offset only.
std::u16string textFromBytes(std::string_view bytes, ByteEncoding encoding, const std::string& what,
                             const std::string& encodingOption, bool secret = false);

// A command line argument, UTF-8 on every platform (Windows's wide command line is converted).
std::u16string argumentText(const std::string& argument, const std::string& what, bool secret = false);

// A file name argument: on Linux the bytes as given, whatever their encoding.
std::filesystem::path pathArgument(const std::string& argument);

// For every option that names a file or folder. On Windows "C:\Support Logs\" reaches the
// tool as C:\Support Logs" (the command line rules read \" as a quote): a path that ends in a
// quote is taken as the folder meant, and a quote anywhere else, which no Windows name holds,
// is refused with the way to write it. Elsewhere a quote is a character like any other.
const CLI::Validator& pathAsMeant();

// "п" (U+043F): a character as a message shows it; control characters by number only.
std::string describeCharacter(char32_t c);

// Refuses text with a character the ANSI code page cannot carry, saying how to choose another.
void requireRepresentable(std::u16string_view text, const std::string& what);

// The same for a key or a password, of which no message shows a character: it is named by its
// place ("the key's character 3").
void requireRepresentableSecret(std::u16string_view text, const std::string& what);

}  // namespace orvacct
