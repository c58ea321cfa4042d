// The settings file "./Quorvel.ini" (section 窗口设置) and how its values read.
// Only the reading rules live here; the shell reads the file and applies them.
#pragma once

#include <string>
#include <vector>

namespace settings {

constexpr const char* kFile = "./Quorvel.ini";
constexpr const char* kSection = "窗口设置";
constexpr const char* kKeyStyle = "窗口风格";         // "0" ordinary, "1" topmost, "2" bottom
constexpr const char* kKeyTransparency = "透明度";     // slider 0..160
constexpr const char* kKeyClickThrough = "鼠标穿透";   // "1" on, "0" off
constexpr const char* kKeyAutoRun = "开机运行";        // "1" start with Windows, "0" not
constexpr const char* kKeyPosition = "窗口位置";       // "left,top,right,bottom"
constexpr const char* kKeyDaysOff = "显示休班";        // "0" hides the 休/班 marks; on otherwise
constexpr const char* kKeySound = "提醒声音";          // "0" notices come silently; a sound otherwise
constexpr const char* kDefaultPosition = "default";

// Room the values are read with: one character for the switches and the
// style, seven for the transparency, 127 for the position.
constexpr int kSwitchChars = 1;
constexpr int kTransparencyChars = 7;
constexpr int kPositionChars = 127;

constexpr int kTransparencyMax = 160;
constexpr int kOpacityBase = 95;  // slider 0 is opacity 95 of 255

// Decimal integer in the manner of atoi: leading white space, optional sign,
// digits up to the first other character; no digits gives 0. Values beyond
// the int range saturate instead of being undefined.
int Atoi(const std::string& text);

// A "0"/"1" switch; anything else (a missing key too) leaves things as they are.
enum class Switch { Off, On, Unchanged };
Switch ParseSwitch(const std::string& value);

// The window style 0, 1 or 2; -1 for anything else (no change at apply).
int ParseStyle(const std::string& value);

// Layered-window alpha for a stored transparency: (value + 95) mod 256.
int AlphaFromTransparency(const std::string& value);

struct WindowRect {
    int left, top, right, bottom;
};

// The saved place. False for "default" or an empty value: no saved place.
// Otherwise three numbers are taken each up to the next comma (0 when no comma
// is left, the text then staying whole) and the rest is the fourth.
bool ParsePosition(const std::string& value, WindowRect& rc);
std::string FormatPosition(const WindowRect& rc);

// Whether a saved place can be used: its size near the window's own (between
// half and twice it; the window cannot be resized, so another size is not one
// it saved) and at least kGripPixels of it in each direction inside one
// monitor's work area, enough to see the window and drag it back.
constexpr int kGripPixels = 40;
bool IsUsablePlace(const WindowRect& rc, int nWidth, int nHeight, const std::vector<WindowRect>& workAreas);

// The window centred on the screen at its client size.
WindowRect CentredRect(int nScreenWidth, int nScreenHeight, int nClientWidth, int nClientHeight);

}  // namespace settings
