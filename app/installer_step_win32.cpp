#include "app/installer_step_win32.h"

#include <windows.h>

#include <string>
#include <vector>

#include "common/autostart_win32.h"
#include "common/command_line.h"
#include "common/handles_win32.h"

namespace {

// How long a running softveil is given to end: it saves nothing on the way.
constexpr DWORD kCloseTimeoutMs = 10000;

std::wstring ProcessPath(HANDLE process) {
  std::wstring path(32768, L'\0');
  DWORD size = static_cast<DWORD>(path.size());
  if (!QueryFullProcessImageNameW(process, 0, path.data(), &size)) return {};
  path.resize(size);
  return path;
}

// The processes started from `program` (this one aside) whose controller,
// the one top-level dialog without an owner, was asked to close, as
// another program's WM_CLOSE does: nested dialogs end unconfirmed.
std::vector<UniqueKernelHandle> AskToClose(const std::wstring& program) {
  struct Search {
    const std::wstring& program;
    std::vector<UniqueKernelHandle> closing;
  } search{program, {}};
  EnumWindows(
      [](HWND hwnd, LPARAM lp) {
        auto& s = *reinterpret_cast<Search*>(lp);
        wchar_t cls[16] = {};
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        if (pid == GetCurrentProcessId() || GetWindow(hwnd, GW_OWNER) || !GetClassNameW(hwnd, cls, 16) ||
            std::wstring_view(cls) != L"#32770") {
          return TRUE;
        }
        UniqueKernelHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
        if (process && SameWindowsPath(ProcessPath(process.get()), s.program) &&
            PostMessageW(hwnd, WM_CLOSE, 0, 0)) {
          s.closing.push_back(std::move(process));
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return std::move(search.closing);
}

}  // namespace

int RunInstallerStep(InstallerStep step) {
  for (const UniqueKernelHandle& process : AskToClose(ThisProgramPath())) {
    if (WaitForSingleObject(process.get(), kCloseTimeoutMs) != WAIT_OBJECT_0) return 1;
  }
  // A registry that refuses is no reason to keep the program: the entry
  // then starts nothing, as before.
  if (step == InstallerStep::Uninstall) RemoveAutostartOfThisProgram();
  return 0;
}
