#include "mask/reading_hotkeys_win32.h"

#include <algorithm>
#include <utility>

#include "common/dialog_base_win32.h"
#include "common/ids.h"
#include "common/language_win32.h"
#include "res/resource.h"

namespace {

// The hotkey ids follow BandKey's order.
constexpr int HotkeyIdOf(BandKey key) { return ID_HOTKEY_NEXT + static_cast<int>(key); }
static_assert(HotkeyIdOf(BandKey::Previous) == ID_HOTKEY_PREVIOUS);
static_assert(HotkeyIdOf(BandKey::FineNext) == ID_HOTKEY_FINE_NEXT);
static_assert(HotkeyIdOf(BandKey::FinePrevious) == ID_HOTKEY_FINE_PREVIOUS);
static_assert(HotkeyIdOf(BandKey::Thicker) == ID_HOTKEY_THICKER);
static_assert(HotkeyIdOf(BandKey::Thinner) == ID_HOTKEY_THINNER);
static_assert(HotkeyIdOf(BandKey::Style) == ID_HOTKEY_STYLE);
constexpr BandKey kAllBandKeys[] = {BandKey::Next,    BandKey::Previous, BandKey::FineNext, BandKey::FinePrevious,
                                    BandKey::Thicker, BandKey::Thinner,  BandKey::Style};

}  // namespace

std::optional<BandKey> ReadingHotkeys::KeyOf(int hotkeyId) {
  for (BandKey key : kAllBandKeys) {
    if (HotkeyIdOf(key) == hotkeyId) return key;
  }
  return std::nullopt;
}

void ReadingHotkeys::Sync(bool shown) {
  const bool wanted = m_hwnd && shown && m_pauses == 0;
  if (wanted == m_held) return;
  if (wanted) {
    Hold();
  } else {
    Release();
  }
}

void ReadingHotkeys::Pause(bool paused, bool shown) {
  // Counted: one settings dialog is open at a time, but an ended one may
  // still wait for the more-settings dialog over it while another opens.
  m_pauses += paused ? 1 : -1;
  Sync(shown);
}

void ReadingHotkeys::Release() {
  if (!m_held) return;
  m_held = false;
  for (BandKey key : kAllBandKeys) UnregisterHotKey(m_hwnd, HotkeyIdOf(key));
}

void ReadingHotkeys::Hold() {
  m_held = true;
  std::wstring refused;
  for (const ReadingRegistration& held : ReadingRegistrations(m_settings)) {
    if (RegisterHotKey(m_hwnd, HotkeyIdOf(held.key), held.combo.fsModifiers, static_cast<UINT>(held.combo.vk))) continue;
    if (std::find(m_toldRefused.begin(), m_toldRefused.end(), held.combo) != m_toldRefused.end()) continue;
    m_toldRefused.push_back(held.combo);
    if (!refused.empty()) refused += LoadText(IDS_LIST_SEPARATOR);
    refused += Widen(KeyComboDisplayName(held.combo));
  }
  if (refused.empty()) return;
  // Told from the message loop, not from inside the tick that showed the mask.
  if (!m_refusedToTell.empty()) m_refusedToTell += LoadText(IDS_LIST_SEPARATOR);
  m_refusedToTell += refused;
  PostMessageW(m_hwnd, WM_REPORT_REFUSED_KEYS, 0, 0);
}

void ReadingHotkeys::ShowRefused(HWND owner) {
  const std::wstring names = std::exchange(m_refusedToTell, {});
  if (names.empty()) return;
  ShowAppMessage(owner, FormatResourceText(IDS_READING_KEYS_REFUSED, {names}));
}
