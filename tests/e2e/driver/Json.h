// JSON text for the e2e driver and its hook DLL: UTF-8 from UTF-16, one object
// built member by member. Inline, header-only, no dependencies beyond the standard
// library and <windows.h>.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace qdriver {

inline std::string Utf8(const std::wstring& w) {
  if (w.empty()) return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr,
                      nullptr);
  return s;
}

inline std::string JsonString(const std::wstring& w) {
  std::string in = Utf8(w), out = "\"";
  for (unsigned char c : in) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

inline std::string Hex(unsigned long long v) {
  char buf[32];
  snprintf(buf, sizeof buf, "\"0x%llx\"", v);
  return buf;
}

inline std::string Num(long long v) { return std::to_string(v); }
inline std::string Bool(bool b) { return b ? "true" : "false"; }

// A JSON object built member by member.
class Obj {
 public:
  Obj& Add(const char* key, const std::string& rawValue) {
    if (!body_.empty()) body_ += ',';
    body_ += '"';
    body_ += key;
    body_ += "\":";
    body_ += rawValue;
    return *this;
  }
  Obj& Str(const char* key, const std::wstring& v) { return Add(key, JsonString(v)); }
  // Appends the members of another object's text, "{...}".
  Obj& Merge(const std::string& objectText) {
    if (objectText.size() > 2) {
      if (!body_.empty()) body_ += ',';
      body_ += objectText.substr(1, objectText.size() - 2);
    }
    return *this;
  }
  std::string Text() const { return "{" + body_ + "}"; }

 private:
  std::string body_;
};

inline std::string Array(const std::vector<std::string>& items) {
  std::string s = "[";
  for (size_t i = 0; i < items.size(); ++i) {
    if (i) s += ',';
    s += items[i];
  }
  return s + "]";
}

inline std::string RectJson(const RECT& r) {
  return Array({Num(r.left), Num(r.top), Num(r.right), Num(r.bottom)});
}

// The items of a menu: id, type and state flags, owner-drawn, separator, submenu,
// the text of string items and the item's screen rectangle (popup menus only).
inline std::string MenuItemsJson(HMENU menu, int* countOut) {
  int count = menu ? GetMenuItemCount(menu) : -1;
  *countOut = count;
  std::vector<std::string> items;
  for (int i = 0; i < count; ++i) {
    wchar_t text[512] = {0};
    MENUITEMINFOW mi = {};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
    mi.dwTypeData = text;
    mi.cch = 511;
    Obj it;
    it.Add("index", Num(i));
    if (GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mi)) {
      it.Add("id", Num(mi.wID))
          .Add("type", Num(mi.fType))
          .Add("state", Num(mi.fState))
          .Add("ownerdraw", Bool((mi.fType & MFT_OWNERDRAW) != 0))
          .Add("separator", Bool((mi.fType & MFT_SEPARATOR) != 0))
          .Add("submenu", Bool(mi.hSubMenu != nullptr));
      if (!(mi.fType & (MFT_OWNERDRAW | MFT_SEPARATOR | MFT_BITMAP))) it.Str("text", text);
      RECT r = {0, 0, 0, 0};
      if (GetMenuItemRect(nullptr, menu, static_cast<UINT>(i), &r)) it.Add("rect", RectJson(r));
    } else {
      it.Add("error", Num(GetLastError()));
    }
    items.push_back(it.Text());
  }
  return Array(items);
}

}  // namespace qdriver
