// softveil's packages as a Windows user meets them: the zip unpacked and
// started from its folder, and the installer run with msiexec, the program
// started from its Start-menu shortcut, upgraded and uninstalled. Run by
// scripts/test in a Wine prefix of its own, after scripts/package; it is
// told where things are by the environment:
//   SOFTVEIL_DIST         build/dist (the packages)
//   SOFTVEIL_VERSION      softveil's version, 1.6.0.0
//   SOFTVEIL_UPGRADE_MSI  an installer of a newer version
//   SOFTVEIL_PORTABLE     the zip, unpacked
#include <windows.h>
#include <msi.h>
#include <msiquery.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "tests/e2e/harness.h"

namespace fs = std::filesystem;

namespace {

constexpr wchar_t kUpgradeCode[] = L"{5cd259c8-50da-46b9-8533-6bf850c8eb03}";

// A path (or the version) handed over from the Unix side.
fs::path FromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  const std::string text = value ? value : "";
  return fs::path(WinePath(std::wstring(text.begin(), text.end())));
}

std::wstring Version() { return FromEnvironment("SOFTVEIL_VERSION").wstring(); }
fs::path Msi() { return FromEnvironment("SOFTVEIL_DIST") / (L"softveil-" + Version() + L"-win64.msi"); }

fs::path KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  fs::path result;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) result = path;
  CoTaskMemFree(path);
  return result;
}

fs::path InstalledExe() { return KnownFolder(FOLDERID_LocalAppData) / L"Programs" / L"softveil" / L"softveil.exe"; }
fs::path SettingsFolder() { return KnownFolder(FOLDERID_RoamingAppData) / L"softveil"; }
fs::path Shortcut() { return KnownFolder(FOLDERID_Programs) / L"softveil.lnk"; }

// Runs a program to its end; its exit code.
std::optional<DWORD> RunToEnd(std::wstring commandLine) {
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    return std::nullopt;
  }
  std::optional<DWORD> code;
  if (WaitUntil([&] { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }, 120000)) {
    DWORD exitCode = 0;
    GetExitCodeProcess(pi.hProcess, &exitCode);
    code = exitCode;
  }
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return code;
}

std::optional<DWORD> Msiexec(const std::wstring& action, const std::wstring& what) {
  return RunToEnd(L"msiexec " + action + L" \"" + what + L"\" /qn");
}

// The products installed from softveil's packages, by product code.
std::vector<std::wstring> InstalledProducts() {
  std::vector<std::wstring> codes;
  wchar_t code[39] = {};
  for (DWORD i = 0; MsiEnumRelatedProductsW(kUpgradeCode, 0, i, code) == ERROR_SUCCESS; ++i) codes.emplace_back(code);
  return codes;
}

std::wstring ProductInfo(const std::wstring& code, const wchar_t* property) {
  wchar_t value[256] = {};
  DWORD size = static_cast<DWORD>(std::size(value));
  if (MsiGetProductInfoW(code.c_str(), property, value, &size) != ERROR_SUCCESS) return L"<none>";
  return value;
}

// "1.6.0.0" from the program file's version block.
std::wstring FileVersion(const fs::path& exe) {
  DWORD ignored = 0;
  std::vector<BYTE> block(GetFileVersionInfoSizeW(exe.c_str(), &ignored));
  if (block.empty() || !GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(block.size()), block.data())) {
    return L"<none>";
  }
  VS_FIXEDFILEINFO* info = nullptr;
  UINT size = 0;
  if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &size)) return L"<none>";
  return std::to_wstring(HIWORD(info->dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(info->dwFileVersionMS)) + L"." +
         std::to_wstring(HIWORD(info->dwFileVersionLS)) + L"." + std::to_wstring(LOWORD(info->dwFileVersionLS));
}

// The version the program's manifest, kept as it is written, names it by.
std::wstring ManifestVersion(const fs::path& exe) {
  const std::string bytes = ReadBytes(exe).value_or(""), key = "name=\"softveil\" version=\"";
  const std::size_t at = bytes.find(key), start = at + key.size();
  if (at == std::string::npos) return L"<none>";
  const std::string version = bytes.substr(start, bytes.find('"', start) - start);
  return std::wstring(version.begin(), version.end());
}

struct ShortcutInfo {
  std::wstring target, arguments, workingDir;
};

std::optional<ShortcutInfo> ReadShortcut(const fs::path& lnk) {
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return std::nullopt;
  }
  std::optional<ShortcutInfo> info;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    if (SUCCEEDED(file->Load(lnk.c_str(), STGM_READ))) {
      wchar_t target[MAX_PATH] = {}, arguments[1024] = {}, dir[MAX_PATH] = {};
      link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
      link->GetArguments(arguments, static_cast<int>(std::size(arguments)));
      link->GetWorkingDirectory(dir, MAX_PATH);
      info = ShortcutInfo{target, arguments, dir};
    }
    file->Release();
  }
  link->Release();
  return info;
}

// softveil's value under the Run key, and under the startup-apps list.
constexpr const wchar_t* kStartupKeys[] = {L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                           L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run"};

// The installed softveil started from its shortcut, a change typed into its
// settings dialog and not confirmed.
std::unique_ptr<Softveil> StartInstalledWithADialogOpen() {
  auto app = std::make_unique<Softveil>(SettingsFolder(), L"\"" + InstalledExe().wstring() + L"\"");
  if (HWND dlg = app->OpenDialog(ID_MENU_SETTINGS, L"设置")) SetItemText(dlg, IDC_HEIGHT, L"321");
  return app;
}

// Equal for Windows: without regard to case or a trailing backslash.
bool SamePath(std::wstring a, std::wstring b) {
  for (std::wstring* path : {&a, &b}) {
    if (path->size() > 3 && path->back() == L'\\') path->pop_back();
  }
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

class ComEnvironment : public testing::Environment {
  void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  void TearDown() override { CoUninitialize(); }
};
const auto* const kCom = testing::AddGlobalTestEnvironment(new ComEnvironment);

TEST(Zip, TheUnpackedCopyKeepsSoftveilIniBesideItselfWhenStartedFromItsFolder) {
  const fs::path folder = FromEnvironment("SOFTVEIL_PORTABLE");
  ASSERT_TRUE(fs::exists(folder / L"softveil.exe")) << folder;
  ASSERT_FALSE(fs::exists(folder / L"softveil.ini"));
  Softveil app(folder, L"\"" + (folder / L"softveil.exe").wstring() + L"\"");
  ASSERT_TRUE(app.controller()) << "the unpacked program did not start";
  HWND dlg = app.OpenDialog(ID_MENU_SETTINGS, L"设置");
  ASSERT_TRUE(dlg);
  EXPECT_EQ(ConfirmHeight(app, dlg, L"234"), nullptr);
  EXPECT_EQ(app.Exit(), 0u);
  const std::optional<std::string> ini = ReadBytes(folder / L"softveil.ini");
  ASSERT_TRUE(ini);
  EXPECT_NE(ini->find("height=234\r\n"), std::string::npos);
  fs::remove(folder / L"softveil.ini");
}

TEST(Installer, DeclaresAPerUserInstallThatNeedsNoElevation) {
  MSIHANDLE summary = 0;
  ASSERT_EQ(MsiGetSummaryInformationW(0, Msi().c_str(), 0, &summary), static_cast<UINT>(ERROR_SUCCESS)) << Msi();
  UINT type = 0;
  INT wordCount = 0;
  MsiSummaryInfoGetPropertyW(summary, PIDSI_WORDCOUNT, &type, &wordCount, nullptr, nullptr, nullptr);
  MsiCloseHandle(summary);
  EXPECT_TRUE(wordCount & 8) << "word count " << wordCount << ": elevation would be asked for";

  MSIHANDLE db = 0;
  ASSERT_EQ(MsiOpenDatabaseW(Msi().c_str(), MSIDBOPEN_READONLY, &db), static_cast<UINT>(ERROR_SUCCESS));
  const auto property = [&](const wchar_t* name) -> std::wstring {
    MSIHANDLE view = 0, record = 0;
    const std::wstring query = std::wstring(L"SELECT `Value` FROM `Property` WHERE `Property`='") + name + L"'";
    std::wstring value = L"<none>";
    if (MsiDatabaseOpenViewW(db, query.c_str(), &view) == ERROR_SUCCESS && MsiViewExecute(view, 0) == ERROR_SUCCESS &&
        MsiViewFetch(view, &record) == ERROR_SUCCESS) {
      wchar_t text[256] = {};
      DWORD size = static_cast<DWORD>(std::size(text));
      MsiRecordGetStringW(record, 1, text, &size);
      value = text;
      MsiCloseHandle(record);
    }
    if (view) MsiCloseHandle(view);
    return value;
  };
  EXPECT_EQ(property(L"ALLUSERS"), L"<none>") << "per user: no ALLUSERS";
  EXPECT_EQ(property(L"ProductVersion"), Version());
  MsiCloseHandle(db);
}

// The installer's life, in order: each case starts where the one before left.

TEST(Installer, InstallsTheProgramAndItsShortcutForThisUser) {
  ASSERT_TRUE(InstalledProducts().empty()) << "the prefix must be fresh";
  ASSERT_EQ(Msiexec(L"/i", Msi().wstring()), 0u);

  ASSERT_TRUE(fs::exists(InstalledExe())) << InstalledExe();
  EXPECT_EQ(ReadBytes(InstalledExe()), ReadBytes(FromEnvironment("SOFTVEIL_DIST") / L"softveil.exe"));
  EXPECT_EQ(FileVersion(InstalledExe()), Version()) << "the version block and the installer agree";
  EXPECT_EQ(ManifestVersion(InstalledExe()), Version()) << "the manifest and the installer agree";
  EXPECT_TRUE(fs::is_directory(SettingsFolder())) << SettingsFolder();
  EXPECT_TRUE(fs::is_empty(SettingsFolder()));

  const std::optional<ShortcutInfo> shortcut = ReadShortcut(Shortcut());
  ASSERT_TRUE(shortcut) << Shortcut();
  EXPECT_TRUE(SamePath(shortcut->target, InstalledExe().wstring())) << shortcut->target;
  EXPECT_TRUE(SamePath(shortcut->workingDir, SettingsFolder().wstring())) << shortcut->workingDir;
  EXPECT_EQ(shortcut->arguments, L"");

  // The entry the user uninstalls from.
  const std::vector<std::wstring> products = InstalledProducts();
  ASSERT_EQ(products.size(), 1u);
  EXPECT_EQ(MsiQueryProductStateW(products[0].c_str()), INSTALLSTATE_DEFAULT);
  EXPECT_EQ(ProductInfo(products[0], INSTALLPROPERTY_INSTALLEDPRODUCTNAME), L"softveil");
  EXPECT_EQ(ProductInfo(products[0], INSTALLPROPERTY_VERSIONSTRING), Version());
}

TEST(Installer, TheShortcutStartsSoftveilWithItsSettingsInTheUsersFolder) {
  const std::optional<ShortcutInfo> shortcut = ReadShortcut(Shortcut());
  ASSERT_TRUE(shortcut) << "not installed";
  Softveil app(shortcut->workingDir, L"\"" + shortcut->target + L"\" " + shortcut->arguments);
  ASSERT_TRUE(app.controller()) << "the installed program did not start";
  HWND dlg = app.OpenDialog(ID_MENU_SETTINGS, L"设置");
  ASSERT_TRUE(dlg);
  EXPECT_EQ(ConfirmHeight(app, dlg, L"246"), nullptr);
  EXPECT_EQ(app.Exit(), 0u);
  const std::optional<std::string> ini = ReadBytes(SettingsFolder() / L"softveil.ini");
  ASSERT_TRUE(ini);
  EXPECT_NE(ini->find("height=246\r\n"), std::string::npos);
  EXPECT_FALSE(fs::exists(InstalledExe().parent_path() / L"softveil.ini"));
}

TEST(Installer, ANewerPackageClosesTheRunningProgramAndReplacesItInPlace) {
  const std::vector<std::wstring> before = InstalledProducts();
  ASSERT_EQ(before.size(), 1u) << "not installed";
  const std::optional<std::string> ini = ReadBytes(SettingsFolder() / L"softveil.ini");
  const auto app = StartInstalledWithADialogOpen();
  const fs::path newer = FromEnvironment("SOFTVEIL_UPGRADE_MSI");
  ASSERT_EQ(Msiexec(L"/i", newer.wstring()), 0u);
  EXPECT_EQ(app->WaitExit(), 0u) << "the running softveil is closed first";

  const std::vector<std::wstring> after = InstalledProducts();
  ASSERT_EQ(after.size(), 1u) << "the old version is replaced, not kept beside the new";
  EXPECT_NE(after[0], before[0]);
  EXPECT_NE(ProductInfo(after[0], INSTALLPROPERTY_VERSIONSTRING), Version());
  EXPECT_EQ(MsiQueryProductStateW(before[0].c_str()), INSTALLSTATE_UNKNOWN);
  EXPECT_TRUE(fs::exists(InstalledExe()));
  EXPECT_TRUE(ReadShortcut(Shortcut()));
  EXPECT_EQ(ReadBytes(SettingsFolder() / L"softveil.ini"), ini);
}

TEST(Installer, UninstallClosesTheProgramAndRemovesItsShortcutAndStartupEntryButNotTheUsersSettings) {
  const std::vector<std::wstring> products = InstalledProducts();
  ASSERT_EQ(products.size(), 1u) << "not installed";
  const std::optional<std::string> ini = ReadBytes(SettingsFolder() / L"softveil.ini");
  ASSERT_TRUE(ini) << "the shortcut case saves the settings first";
  // Started at sign-in, as the start-with-Windows box makes it, and switched off in the startup apps.
  const std::wstring run = L"\"" + InstalledExe().wstring() + L"\" --settings \"" +
                           (SettingsFolder() / L"softveil.ini").wstring() + L"\"";
  RegSetKeyValueW(HKEY_CURRENT_USER, kStartupKeys[0], L"softveil", REG_SZ, run.c_str(),
                  static_cast<DWORD>((run.size() + 1) * sizeof(wchar_t)));
  const BYTE switchedOff[12] = {3};
  RegSetKeyValueW(HKEY_CURRENT_USER, kStartupKeys[1], L"softveil", REG_BINARY, switchedOff, sizeof switchedOff);
  const auto app = StartInstalledWithADialogOpen();
  ASSERT_EQ(Msiexec(L"/x", products[0]), 0u);

  EXPECT_EQ(app->WaitExit(), 0u) << "the running softveil is closed first";
  for (const wchar_t* key : kStartupKeys) {
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, key, L"softveil", RRF_RT_ANY, nullptr, nullptr, nullptr),
              ERROR_FILE_NOT_FOUND) << key;
  }

  EXPECT_FALSE(fs::exists(InstalledExe()));
  EXPECT_FALSE(fs::exists(InstalledExe().parent_path())) << "the program's folder goes with it";
  EXPECT_FALSE(fs::exists(Shortcut()));
  EXPECT_TRUE(InstalledProducts().empty());
  EXPECT_EQ(MsiQueryProductStateW(products[0].c_str()), INSTALLSTATE_UNKNOWN);
  EXPECT_EQ(ReadBytes(SettingsFolder() / L"softveil.ini"), ini) << "a user's settings are not deleted";
}

}  // namespace
