// Process-wide facts of the program: its module, its main window, its name.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace win {

HINSTANCE AppInstance();

// The application's main window while it exists (the owner of dialogs made
// without a parent), or null.
HWND AppMainWindow();
void SetAppMainWindow(HWND hWnd);

// The program file's name without its extension: the caption of every
// message box the program shows.
const std::string& AppName();

// A message box with the application's name as caption (or szCaption),
// owned by the main window when there is one. nType as for MessageBoxA
// (MB_OK when 0).
int AppMessageBox(const std::string& strText, UINT nType = MB_OK, const char* szCaption = nullptr);

// Closing a modal window (a dialog, a message box, a menu) activates its
// owner, which lifts it in the stack. Every modal end calls ModalEnded, which
// runs the handler the main window set to put itself back where it lives.
void SetModalEndHandler(std::function<void()> handler);
void ModalEnded();

// COM on the calling thread (the shell's ShellExecute and the imaging
// component want it), initialised when first needed rather than at start-up;
// EndCom undoes it before the program ends.
bool EnsureCom();
void EndCom();

}  // namespace win
