// Command lines and Windows paths as the system reads them, in portable
// code so the rules are tested natively: how a command line splits into
// arguments, how an argument is quoted to survive that split, and how a
// path given on the command line becomes a full path.
#pragma once
#include <string>
#include <string_view>
#include <vector>

// Splits a command line as CommandLineToArgvW does: the program name
// first (it ends at the next quote when it starts with one, else at the
// first blank, with no escapes), then the arguments, separated by blanks
// outside quotes, with the backslash and quote rules of the system.
std::vector<std::wstring> SplitCommandLine(std::wstring_view line);

// `arg` in quotes, escaped so that SplitCommandLine gives it back unchanged.
std::wstring QuoteArgument(std::wstring_view arg);

// The program name of a command line: in quotes, unescaped (the system
// reads it up to the next quote, and a path holds no quotes).
std::wstring QuoteProgramName(std::wstring_view path);

// The full path of `path` as the system resolves it from the working
// directory `workingDir` (itself a full path): relative paths and a
// leading backslash are taken from it, "." and ".." segments are folded,
// '/' becomes '\'. An empty `path` gives an empty result.
std::wstring FullWindowsPath(std::wstring_view workingDir, std::wstring_view path);

// Paths equal for Windows: ASCII letters compared without case, '/' and
// '\' alike. (The system also folds other letters; no path we compare
// differs only in those.)
bool SameWindowsPath(std::wstring_view a, std::wstring_view b);
