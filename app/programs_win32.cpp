#include "app/programs_win32.h"

#include <shellapi.h>

#include <string_view>

#include "common/dialog_base_win32.h"
#include "common/handles_win32.h"

namespace {

std::string ImageNameOf(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  const UniqueKernelHandle handle(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
  wchar_t path[MAX_PATH * 2] = {};
  DWORD size = static_cast<DWORD>(std::size(path));
  if (!handle || !QueryFullProcessImageNameW(handle.get(), 0, path, &size)) return {};
  const std::wstring_view image(path, size);
  return ToAnsi(image.substr(image.find_last_of(L"\\/") + 1));
}

}  // namespace

const std::string& ProgramNames::Of(HWND window) {
  const HWND root = GetAncestor(window, GA_ROOT);
  if (const auto known = m_names.find(root); known != m_names.end()) return known->second;
  // Windows come and go; a list that only grows is started afresh.
  if (m_names.size() >= 64) m_names.clear();
  return m_names.emplace(root, ImageNameOf(root)).first->second;
}

bool FullScreenProgramRunning() {
  QUERY_USER_NOTIFICATION_STATE state = QUNS_ACCEPTS_NOTIFICATIONS;
  return SUCCEEDED(SHQueryUserNotificationState(&state)) &&
         (state == QUNS_RUNNING_D3D_FULL_SCREEN || state == QUNS_PRESENTATION_MODE);
}
