// What the driver and its hook share: JSON text (UTF-8 from UTF-16, objects
// built member by member), window texts, the file mapping they talk through.
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace qd {

inline std::string Utf8(const std::wstring& w) {
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
  return s;
}

inline std::string Str(const std::wstring& w) {
  std::string out = "\"";
  for (unsigned char c : Utf8(w)) {
    char buf[8] = {static_cast<char>(c), '\0'};
    if (c < 0x20) snprintf(buf, sizeof buf, "\\u%04x", c);
    if (c == '"' || c == '\\') out += '\\';
    out += buf;
  }
  return out + "\"";
}

// The file mapping in which the driver of process pid asks and its hook answers.
constexpr DWORD kMappingSize = 4 << 20;
inline std::wstring MappingName(unsigned long pid) { return L"Local\\QDriver." + std::to_wstring(pid); }

inline std::string Num(long long v) { return std::to_string(v); }
inline std::string Bool(bool b) { return b ? "true" : "false"; }
inline std::string Hex(const void* h) { return Num(reinterpret_cast<long long>(h)); }

inline std::string List(const std::vector<std::string>& items) {
  std::string s = "[";
  for (size_t i = 0; i < items.size(); ++i) s += (i ? "," : "") + items[i];
  return s + "]";
}

inline std::string Rect(const RECT& r) {
  return List({Num(r.left), Num(r.top), Num(r.right), Num(r.bottom)});
}

struct Obj {
  std::string body;
  Obj& operator()(const char* key, const std::string& json) {
    body += (body.empty() ? "\"" : ",\"") + std::string(key) + "\":" + json;
    return *this;
  }
  std::string Text() const { return "{" + body + "}"; }
};

// The text of a window of this process, or one that answers WM_GETTEXT.
inline std::wstring TextOf(HWND h) {
  std::vector<wchar_t> buf(static_cast<size_t>(GetWindowTextLengthW(h)) + 2, L'\0');
  GetWindowTextW(h, buf.data(), static_cast<int>(buf.size()));
  return buf.data();
}

inline std::wstring ClassOf(HWND h) {
  wchar_t buf[128] = {0};
  GetClassNameW(h, buf, 128);
  return buf;
}

}  // namespace qd
