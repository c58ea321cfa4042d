// What the program takes from its command line: nothing when started by the
// user; when started at logon, the folder of its database and settings.
#pragma once

// "Quorvel.exe /dir <folder>": work in <folder> (the start-with-Windows entry).
constexpr const char* kWorkDirSwitch = "/dir";

// Makes the folder named after kWorkDirSwitch the working directory, if given.
void EnterWorkDirFromCommandLine();
