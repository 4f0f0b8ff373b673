// The programs behind windows, for the list of programs softveil stays
// away from, and the system's word that a full-screen program is running.
#pragma once
#include <windows.h>

#include <map>
#include <string>

class ProgramNames {
 public:
  // The image file name, without its folder, of the program that owns
  // `window` ("vlc.exe"), in the ANSI code page as softveil.ini holds names;
  // empty when it cannot be read.
  const std::string& Of(HWND window);

 private:
  // Looked up once per top-level window: under Wine each look-up asks the
  // server, and the tick asks for two windows twice a second.
  std::map<HWND, std::string> m_names;
};

// The system reports a full-screen Direct3D program (a game) or
// presentation mode (a slide show, a film played full screen).
bool FullScreenProgramRunning();
