#include "view/SkinMenu.h"

#include <vector>

#include "engine/LunarCalendar.h"
#include "res/resource.h"
#include "win/App.h"

namespace {
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr const char kTitle[] = QUORVEL_TITLE;
}  // namespace

CSkinMenu::CSkinMenu(const char* szBanner) : m_strBanner(szBanner ? szBanner : "") { MakeFont(); }

void CSkinMenu::MakeFont() {
    m_font.Reset(::CreateFontA(-S(14), -S(8), 0, 0, 700, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0,
                               FF_MODERN, "华文细黑"));
}

CSkinMenu::~CSkinMenu() {
    if (m_hMenu) ::DestroyMenu(m_hMenu);
}

void CSkinMenu::Attach(HMENU hMenu, int dpi) {
    if (m_hMenu && m_hMenu != hMenu) {
        ::DestroyMenu(m_hMenu);
        m_nUsed = 0;  // the records were the old menu's
    }
    m_hMenu = hMenu;
    if (dpi != m_nDpi) {
        m_nDpi = dpi;
        MakeFont();
    }
}

BOOL CSkinMenu::ConvertToOwnerDraw(HMENU hMenu) {
    if (!hMenu) return TRUE;
    const int count = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < count && m_nUsed < kMaxItems; ++i) {
        SkinMenuItem& item = m_items[m_nUsed++];
        const int len = ::GetMenuStringA(hMenu, static_cast<UINT>(i), nullptr, 0, MF_BYPOSITION);
        if (len > 0) {
            std::vector<char> text(static_cast<size_t>(len) * 2 + 2, '\0');
            ::GetMenuStringA(hMenu, static_cast<UINT>(i), text.data(), static_cast<int>(text.size()), MF_BYPOSITION);
            item.strText = text.data();
        }
        item.nID = ::GetMenuItemID(hMenu, i);

        // Only the type and the item data change, so a submenu stays attached.
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE;
        ::GetMenuItemInfoA(hMenu, static_cast<UINT>(i), TRUE, &mii);
        mii.fMask = MIIM_FTYPE | MIIM_DATA;
        mii.fType |= MFT_OWNERDRAW;
        mii.dwItemData = reinterpret_cast<ULONG_PTR>(&item);
        ::SetMenuItemInfoA(hMenu, static_cast<UINT>(i), TRUE, &mii);

        if (HMENU sub = ::GetSubMenu(hMenu, i)) ConvertToOwnerDraw(sub);
    }
    return TRUE;
}

const SkinMenuItem* CSkinMenu::RecordOf(ULONG_PTR itemData) const {
    // Only our own records are drawn: item data pointing elsewhere is not ours.
    const auto* item = reinterpret_cast<const SkinMenuItem*>(itemData);
    return (item >= m_items && item < m_items + m_nUsed) ? item : nullptr;
}

bool CSkinMenu::MeasureItem(MEASUREITEMSTRUCT& mis) const {
    if (mis.CtlType != ODT_MENU) return false;
    const SkinMenuItem* item = RecordOf(mis.itemData);
    if (!item) return false;
    mis.itemWidth = static_cast<UINT>(S(kItemWidth));
    mis.itemHeight = static_cast<UINT>(S(item->nID == 0 ? 1 : kItemHeight));
    return true;
}

bool CSkinMenu::OnOwnerMessage(UINT msg, LPARAM lParam) const {
    if (msg == WM_MEASUREITEM) return MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    return msg == WM_DRAWITEM && DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
}

bool CSkinMenu::DrawItem(const DRAWITEMSTRUCT& dis) const {
    if (dis.CtlType != ODT_MENU || !dis.itemData) return false;
    const SkinMenuItem* item = RecordOf(dis.itemData);
    if (!item) return false;
    HDC hdc = dis.hDC;
    const int oldMode = ::SetBkMode(hdc, TRANSPARENT);
    // The system hands over a selected item's DC with the highlight text
    // colour (white), unreadable on the light highlight picture, and the
    // banner is redrawn by every item: both keep black.
    const COLORREF oldColor = ::SetTextColor(hdc, RGB(0, 0, 0));
    if (item->nID != 0) {
        DrawItemBack(hdc, dis.rcItem, (dis.itemState & ODS_SELECTED) != 0);
        DrawItemText(hdc, dis.rcItem, *item);
        DrawBanner(hdc, dis.rcItem);
    } else {
        DrawSeparator(hdc, dis.rcItem);
    }
    ::SetTextColor(hdc, oldColor);
    ::SetBkMode(hdc, oldMode);
    return true;
}

void CSkinMenu::DrawItemBack(HDC hdc, const RECT& rc, bool bSelected) const {
    if (!bSelected) {
        const COLORREF old = ::SetBkColor(hdc, kWhite);
        ::ExtTextOutA(hdc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
        ::SetBkColor(hdc, old);
        return;
    }
    const RECT frame{rc.left + S(29), rc.top + S(1), rc.right, rc.bottom - S(2)};
    {
        win::SelectObjectScope pen(hdc, ::GetStockObject(BLACK_PEN));
        ::Rectangle(hdc, frame.left, frame.top, frame.right, frame.bottom);
    }
    win::Bitmap bmp = win::LoadBitmapResource(win::AppInstance(), IDB_MENU_SELECTED);
    BITMAP bm{};
    if (!bmp || !::GetObjectA(bmp, sizeof bm, &bm)) return;
    win::MemoryDC mem(hdc);
    win::SelectObjectScope select(mem, bmp);
    ::StretchBlt(hdc, frame.left + 1, frame.top + 1, frame.right - frame.left - 2, frame.bottom - frame.top - 2,
                 mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
}

void CSkinMenu::DrawItemText(HDC hdc, RECT rc, const SkinMenuItem& item) const {
    rc.left += S(40);
    ::DrawTextA(hdc, item.strText.c_str(), -1, &rc, DT_VCENTER | DT_SINGLELINE);
}

void CSkinMenu::DrawBanner(HDC hdc, const RECT& rc) const {
    const int h = rc.bottom - rc.top;
    {
        win::Bitmap bmp = win::LoadBitmapResource(win::AppInstance(), IDB_MENU_BANNER);
        BITMAP bm{};
        if (bmp && ::GetObjectA(bmp, sizeof bm, &bm)) {
            win::MemoryDC mem(hdc);
            win::SelectObjectScope select(mem, bmp);
            ::StretchBlt(hdc, 0, 0, S(kBannerWidth), rc.bottom, mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
        }
    }
    // The texts go only where the strip was just drawn afresh: drawn again over
    // themselves further down, smoothed letters would darken with each redraw.
    const int saved = ::SaveDC(hdc);
    ::IntersectClipRect(hdc, 0, 0, S(kBannerWidth), rc.bottom);
    {
        win::SelectObjectScope font(hdc, m_font);
        if (!m_strBanner.empty()) {
            DrawBannerText(hdc);
        } else {
            for (int k = 0; kTitle[k]; ++k) ::TextOutA(hdc, rc.left + S(5), h + S(20 * k - 8), &kTitle[k], 1);
            struct Mark {
                const char* text;
                int dx, dy;
            };
            static const Mark marks[] = {{"V", 8, 155}, {"4", 9, 171}, {".", 11, 177}, {"2", 9, 192},
                                         {"0", 9, 208}, {"正", 5, 225}, {"式", 5, 240}, {"版", 5, 255}};
            for (const Mark& m : marks) {
                ::TextOutA(hdc, rc.left + S(m.dx), h + S(m.dy), m.text,
                           static_cast<int>(std::char_traits<char>::length(m.text)));
            }
        }
    }
    ::RestoreDC(hdc, saved);
}

// A character a line, 20 pixels apart as the title's, in the middle of the
// strip and of the menu's height.
void CSkinMenu::DrawBannerText(HDC hdc) const {
    const auto bytesAt = [this](size_t i) { return static_cast<int>(LunarCalendar::GbkCharLength(m_strBanner, i)); };
    int height = 0, lines = 0;
    for (int i = 0; i < m_nUsed; ++i) height += S(m_items[i].nID == 0 ? 1 : kItemHeight);
    for (size_t i = 0; i < m_strBanner.size(); i += bytesAt(i)) ++lines;
    int y = (height - S(20) * lines + S(5)) / 2;  // a character is 15 pixels high at 96 dpi
    for (size_t i = 0; i < m_strBanner.size(); i += bytesAt(i), y += S(20)) {
        SIZE size{};
        ::GetTextExtentPoint32A(hdc, &m_strBanner[i], bytesAt(i), &size);
        ::TextOutA(hdc, (S(kBannerWidth) - size.cx) / 2, y, &m_strBanner[i], bytesAt(i));
    }
}

void CSkinMenu::DrawSeparator(HDC hdc, RECT rc) const {
    rc.left += S(29);
    win::Brush blue(::CreateSolidBrush(kBlue));
    ::FrameRect(hdc, &rc, blue);
}
