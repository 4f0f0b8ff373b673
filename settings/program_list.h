// The programs softveil stays away from: the `exclude` key holds their
// names separated by ';' ("vlc.exe; game.exe"), matched against the image
// file name of a window's program.
#pragma once
#include <string_view>
#include <vector>

// The names of a list, in its order: white space around each name dropped, and
// empty names (";;", a trailing ';') left out.
std::vector<std::string_view> ListedPrograms(std::string_view list);

// Whether the program whose image file is `imageName` (its name without
// the folder, "vlc.exe") is listed. Letters A to Z match in either case,
// other bytes only themselves.
bool ProgramListed(std::string_view list, std::string_view imageName);
