// The replace call of SwapInFile, open to tests: passed in, it can be made
// to fail the ways the system's ReplaceFileW does.
#pragma once
#include <windows.h>

#include <filesystem>

using ReplaceFileCall = BOOL(WINAPI*)(LPCWSTR replaced, LPCWSTR replacement, LPCWSTR backup, DWORD flags,
                                      LPVOID exclude, LPVOID reserved);

// SwapInFile (settings/file_system.h) with `replace` for ReplaceFileW.
bool SwapInFileWith(ReplaceFileCall replace, const std::filesystem::path& written,
                    const std::filesystem::path& target);
