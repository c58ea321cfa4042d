// The program's menus drawn by the program: white items with a picture for
// the selected one, blue separators, and a 28-pixel banner strip on the left
// with the product title written downwards (or a text of the menu's own).
#pragma once

#include <windows.h>

#include <string>

#include "win/Dpi.h"
#include "win/Gdi.h"

struct SkinMenuItem {
    std::string strText;  // caption as read from the menu; empty for separators
    UINT nID = 0;         // 0 separator, 0xFFFFFFFF opens a submenu, else the command
};

class CSkinMenu {
public:
    // szBanner: the strip's text (GBK), one character a line, centred down
    // the menu; none for the command menu's product title and version.
    explicit CSkinMenu(const char* szBanner = nullptr);
    ~CSkinMenu();
    CSkinMenu(const CSkinMenu&) = delete;
    CSkinMenu& operator=(const CSkinMenu&) = delete;

    // Takes ownership of a loaded menu (destroyed with this object), to be
    // drawn for a window at dpi; null destroys the menu held.
    void Attach(HMENU hMenu, int dpi = 96);
    HMENU GetHandle() const { return m_hMenu; }
    HMENU GetSubMenu(int nPos) const { return m_hMenu ? ::GetSubMenu(m_hMenu, nPos) : nullptr; }

    // Makes every item of the menu and of its submenus owner-drawn, each with
    // one of the records as its item data. A null menu is ignored. Items
    // beyond the records' room keep their ordinary drawing.
    BOOL ConvertToOwnerDraw(HMENU hMenu);

    // Answers the owner window's WM_MEASUREITEM and WM_DRAWITEM for the
    // menu's items; false for other messages and requests.
    bool OnOwnerMessage(UINT msg, LPARAM lParam) const;

    static constexpr int kMaxItems = 20;
    // Sizes at 96 dpi; the menu draws them at its window's DPI.
    static constexpr int kItemWidth = 150;
    static constexpr int kItemHeight = 22;
    static constexpr int kBannerWidth = 28;

private:
    int S(int n96) const { return win::Scale(n96, m_nDpi); }
    void MakeFont();
    bool MeasureItem(MEASUREITEMSTRUCT& mis) const;
    bool DrawItem(const DRAWITEMSTRUCT& dis) const;
    const SkinMenuItem* RecordOf(ULONG_PTR itemData) const;
    void DrawItemBack(HDC hdc, const RECT& rc, bool bSelected) const;
    void DrawItemText(HDC hdc, RECT rc, const SkinMenuItem& item) const;
    void DrawBanner(HDC hdc, const RECT& rc) const;
    void DrawBannerText(HDC hdc) const;
    void DrawSeparator(HDC hdc, RECT rc) const;

    HMENU m_hMenu = nullptr;
    SkinMenuItem m_items[kMaxItems];
    int m_nUsed = 0;   // records filled
    int m_nDpi = 96;
    win::Font m_font;  // banner font, at m_nDpi
    std::string m_strBanner;
};
