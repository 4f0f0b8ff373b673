// Entry point: a single instance guarded by a named mutex, then the hidden
// controller's modal run for the whole life of the program.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/control_dlg_win32.h"
#include "app/installer_step_win32.h"
#include "app/start_options.h"
#include "common/command_line.h"
#include "common/dialog_base_win32.h"
#include "common/globals.h"
#include "common/handles_win32.h"
#include "common/language_win32.h"
#include "mask/clock_win32.h"
#include "res/resource.h"
#include "settings/file_system.h"
#include "settings/mask_settings.h"

namespace {

// Takes the settings file the command line names and returns the options.
StartOptions ApplyCommandLine() {
  const std::vector<std::wstring> args = SplitCommandLine(GetCommandLineW());
  StartOptions options = ParseStartOptions(std::span(args).subspan(1));
  // A relative path is taken from the working directory at start, so the
  // file stays the same whatever happens to the directory later.
  const std::wstring file = SettingsFileFromOptions(options, WorkingDirectory().wstring());
  if (!file.empty()) UseSettingsFile(file);
  return options;
}

StartProblemTexts StartProblemTextsInUse() {
  return {LoadText(IDS_START_PROBLEMS), LoadText(IDS_UNKNOWN_ARGUMENT), LoadText(IDS_SETTINGS_WITHOUT_PATH),
          LoadText(IDS_USAGE)};
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The language comes first: the refusal of a second copy speaks it too. It
  // is read from the settings file the command line names, and read only.
  const StartOptions options = ApplyCommandLine();
  // The installer's steps show nothing and leave any settings alone.
  if (options.installerStep != InstallerStep::None) return RunInstallerStep(options.installerStep);
  {
    MaskSettings settings;
    settings.Load();
    SetUiLanguageFromSetting(settings.language);
  }

  UniqueKernelHandle mutex(CreateMutexW(nullptr, TRUE, L"softveil.exe"));
  if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
    ReleaseMutex(mutex.get());  // not ours; changes nothing
    ShowAppMessage(nullptr, LoadText(IDS_ALREADY_RUNNING));
    return 0;
  }
  // The reading clock counts from here, after the single-instance check.
  g_tStart = NowUnixSeconds();
  const std::wstring startProblems = StartProblemsText(options, StartProblemTextsInUse());

  // The settings dialog's trackbar needs the bar classes registered first,
  // the more-settings dialog the hotkey control.
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES | ICC_HOTKEY_CLASS};
  InitCommonControlsEx(&icc);

  {
    CControlDlg controller(startProblems);
    controller.DoModal();
  }
  if (mutex) ReleaseMutex(mutex.get());
  return 0;
}
