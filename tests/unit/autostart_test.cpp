#include "common/autostart.h"

#include <gtest/gtest.h>

namespace {

const std::wstring kExe = LR"(C:\Users\李明\AppData\Local\Programs\softveil\softveil.exe)";
const std::wstring kIni = LR"(C:\Users\李明\AppData\Roaming\softveil\softveil.ini)";

std::vector<std::uint8_t> Approved(std::uint8_t first) {
  std::vector<std::uint8_t> value(12, 0);
  value[0] = first;
  return value;
}

TEST(AutostartCommand, QuotesTheProgramAndTheSettingsFile) {
  EXPECT_EQ(AutostartCommand(kExe, kIni),
            LR"("C:\Users\李明\AppData\Local\Programs\softveil\softveil.exe" --settings "C:\Users\李明\AppData\Roaming\softveil\softveil.ini")");
}

TEST(AutostartStartsProgram, ThisProgramWhateverTheSettingsFile) {
  EXPECT_TRUE(AutostartStartsProgram(AutostartCommand(kExe, kIni), kExe));
  EXPECT_TRUE(AutostartStartsProgram(LR"("c:/users/李明/appdata/local/programs/softveil/SOFTVEIL.EXE")", kExe));
  EXPECT_FALSE(AutostartStartsProgram(AutostartCommand(LR"(D:\softveil\softveil.exe)", kIni), kExe));
  EXPECT_FALSE(AutostartStartsProgram(L"", kExe));
}

TEST(AutostartStateOf, ReadsTheRunAndApprovalValues) {
  const std::wstring expected = AutostartCommand(kExe, kIni);
  struct Case {
    const char* what;
    std::optional<std::wstring> run;
    std::optional<std::vector<std::uint8_t>> approved;
    AutostartState state;
  };
  const Case cases[] = {
      {"nothing", std::nullopt, std::nullopt, AutostartState::Off},
      {"a switch-off left without an entry", std::nullopt, Approved(3), AutostartState::Off},
      {"our entry", expected, std::nullopt, AutostartState::On},
      {"our entry, switched on", expected, Approved(2), AutostartState::On},
      {"our entry, switched on (6)", expected, Approved(6), AutostartState::On},
      {"our entry, empty approval", expected, std::vector<std::uint8_t>{}, AutostartState::On},
      {"our entry, switched off", expected, Approved(3), AutostartState::Disabled},
      {"our entry, switched off (7)", expected, Approved(7), AutostartState::Disabled},
      {"other case and slashes",
       LR"("c:/users/李明/appdata/local/programs/softveil/SOFTVEIL.EXE" --settings "C:\USERS\李明\AppData\Roaming\softveil\softveil.ini")",
       std::nullopt, AutostartState::On},
      {"program moved", AutostartCommand(LR"(D:\old\softveil.exe)", kIni), std::nullopt, AutostartState::Stale},
      {"other settings file", AutostartCommand(kExe, LR"(D:\softveil.ini)"), std::nullopt, AutostartState::Stale},
      {"no settings file", L"\"" + kExe + L"\"", std::nullopt, AutostartState::Stale},
      {"an extra argument", expected + L" --quiet", std::nullopt, AutostartState::Stale},
      {"empty", L"", std::nullopt, AutostartState::Stale},
      {"moved and switched off", AutostartCommand(LR"(D:\old\softveil.exe)", kIni), Approved(3),
       AutostartState::Disabled},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AutostartStateOf(c.run, c.approved, expected), c.state) << c.what;
  }
}

TEST(ApprovedEnabledValue, ReadsBackAsSwitchedOn) {
  const std::wstring expected = AutostartCommand(kExe, kIni);
  EXPECT_EQ(ApprovedEnabledValue().size(), 12u);
  EXPECT_EQ(AutostartStateOf(expected, ApprovedEnabledValue(), expected), AutostartState::On);
}

TEST(CheckboxFor, ShowsABrokenEntryAsNeitherOnNorOff) {
  EXPECT_EQ(CheckboxFor(AutostartState::Off), CheckboxState::Unchecked);
  EXPECT_EQ(CheckboxFor(AutostartState::On), CheckboxState::Checked);
  EXPECT_EQ(CheckboxFor(AutostartState::Disabled), CheckboxState::Unchecked);
  EXPECT_EQ(CheckboxFor(AutostartState::Stale), CheckboxState::Indeterminate);
}

TEST(DecideAutostartChange, OnlyWhatTheUserAskedFor) {
  using S = AutostartState;
  using C = CheckboxState;
  using A = AutostartChange;
  struct Case {
    S shown;
    C now;
    A change;
  };
  const Case cases[] = {
      {S::Off, C::Unchecked, A::None},         {S::Off, C::Checked, A::Write},
      {S::On, C::Checked, A::Write},           {S::On, C::Unchecked, A::Remove},
      {S::Disabled, C::Unchecked, A::None},    {S::Disabled, C::Checked, A::Write},
      {S::Stale, C::Indeterminate, A::None},   {S::Stale, C::Checked, A::Write},
      {S::Stale, C::Unchecked, A::Remove},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DecideAutostartChange(c.shown, c.now), c.change)
        << "shown " << static_cast<int>(c.shown) << ", now " << static_cast<int>(c.now);
  }
}

}  // namespace
