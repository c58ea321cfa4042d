#include "reminders/ReminderListDlg.h"

#include <commctrl.h>

#include "engine/LunarCalendar.h"
#include "reminders/ReminderTime.h"
#include "res/resource.h"
#include "storage/ReminderDb.h"
#include "win/App.h"
#include "win/Dpi.h"

namespace {
constexpr int kToolBarId = 0xE800;
constexpr int kListId = 1019;  // the list view of both templates
constexpr DWORD kListExStyle = LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT |
                               LVS_EX_ONECLICKACTIVATE | LVS_EX_FLATSB;
}  // namespace

CReminderListDlg::CReminderListDlg(UINT nIdTemplate, const char* szAddText, const Column (&columns)[5])
    : win::Dialog(nIdTemplate), m_szAddText(szAddText), m_columns(columns) {}

void CReminderListDlg::DoDataExchange(win::DataExchange& dx) { win::DDX_Control(dx, kListId, m_listCtrl); }

BOOL CReminderListDlg::OnInitDialog() {
    win::Dialog::OnInitDialog();
    if (!CreateToolBar()) return FALSE;

    HWND hList = m_listCtrl.m_hWnd;
    ::SendMessageA(hList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, kListExStyle);
    for (int i = 0; i < 5; ++i) {
        LVCOLUMNA col{};
        col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        col.fmt = LVCFMT_LEFT;
        col.cx = win::Scale(m_columns[i].nWidth, m_nDpi);
        col.pszText = const_cast<char*>(m_columns[i].szHeading);
        col.iSubItem = i;
        ::SendMessageA(hList, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&col));
    }
    FillList();
    return TRUE;
}

bool CReminderListDlg::CreateToolBar() {
    m_hToolBar = ::CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                                   WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | CCS_TOP | CCS_NODIVIDER, 0, 0, 0, 0,
                                   m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kToolBarId)),
                                   win::AppInstance(), nullptr);
    if (!m_hToolBar) return false;
    ::SendMessageA(m_hToolBar, WM_SETFONT, ::SendMessageA(m_hWnd, WM_GETFONT, 0, 0), FALSE);
    ::SendMessageA(m_hToolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    const int side = win::Scale(32, m_nDpi);  // the icons' size at the dialog's DPI
    m_imageList.Create(side, side, ILC_COLOR24 | ILC_MASK, 2, 2);
    for (int icon = IDI_TOOL_NEW; icon <= IDI_TOOL_EXIT; ++icon)
        m_imageList.AddIcon(win::AppInstance(), icon, side, side);
    ::SendMessageA(m_hToolBar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_imageList.Get()));
    ::SendMessageA(m_hToolBar, TB_SETBITMAPSIZE, 0, MAKELONG(side, side));

    const struct {
        int nId;
        int nImage;
        const char* szText;
    } kButtons[] = {{ID_TOOL_NEW, 0, m_szAddText}, {ID_TOOL_MODIFY, 1, "修改"}, {ID_TOOL_DELETE, 2, "删除"},
                    {0, 2, nullptr},  // a separator two pixels wide
                    {ID_TOOL_EXIT, 3, "退出"}};
    TBBUTTON buttons[5] = {};
    for (int i = 0; i < 5; ++i) {
        buttons[i].idCommand = kButtons[i].nId;
        buttons[i].iBitmap = kButtons[i].nImage;
        buttons[i].fsStyle = kButtons[i].szText ? BTNS_BUTTON : BTNS_SEP;
        buttons[i].fsState = kButtons[i].nId == ID_TOOL_MODIFY || kButtons[i].nId == ID_TOOL_DELETE ? 0 : TBSTATE_ENABLED;
        buttons[i].iString = reinterpret_cast<INT_PTR>(kButtons[i].szText);
    }
    ::SendMessageA(m_hToolBar, TB_ADDBUTTONSA, 5, reinterpret_cast<LPARAM>(buttons));
    ::SendMessageA(m_hToolBar, TB_SETBUTTONSIZE, 0, MAKELONG(win::Scale(60, m_nDpi), win::Scale(60, m_nDpi)));
    ::SendMessageA(m_hToolBar, TB_AUTOSIZE, 0, 0);

    // The list starts below the tool bar, however tall the bar came out.
    RECT bar, list;
    ::GetWindowRect(m_hToolBar, &bar);
    ::GetWindowRect(m_listCtrl.m_hWnd, &list);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&list), 2);
    const int barHeight = bar.bottom - bar.top;
    if (list.top < barHeight) {
        ::SetWindowPos(m_listCtrl.m_hWnd, nullptr, list.left, barHeight, list.right - list.left,
                       list.bottom - barHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return true;
}

void CReminderListDlg::AddRow(std::initializer_list<std::string> texts) {
    HWND hList = m_listCtrl.m_hWnd;
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(::SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = const_cast<char*>("");
    const int row = static_cast<int>(::SendMessageA(hList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    int column = 0;
    for (const std::string& text : texts) {
        item.iSubItem = column++;
        item.pszText = const_cast<char*>(text.c_str());
        ::SendMessageA(hList, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }
}

win::LocalTime CReminderListDlg::StoredMomentOrNow(const std::string& strDate, const std::string& strTime) {
    win::LocalTime moment;
    if (!ParseStoredMoment(strDate, strTime, moment) ||
        moment.nDay > LunarCalendar::GetDaysInMonth(moment.nYear, moment.nMonth))
        return win::LocalTime::Now();
    return moment;
}

void CReminderListDlg::Refill() {
    ::SendMessageA(m_listCtrl.m_hWnd, LVM_DELETEALLITEMS, 0, 0);
    FillList();
}

int CReminderListDlg::SelectedRecord() {
    const int mark = static_cast<int>(::SendMessageA(m_listCtrl.m_hWnd, LVM_GETSELECTIONMARK, 0, 0));
    if (mark < 0 || static_cast<size_t>(mark) >= RecordCount()) {
        win::AppMessageBox("请选择要修改的记录");
        return -1;
    }
    return mark;
}

bool CReminderListDlg::OnCommand(int nId, int nCode, HWND hCtl) {
    switch (nId) {
        case ID_TOOL_NEW:
            ShowEditor(-1);
            Refill();  // however the editor ended
            return true;
        case ID_TOOL_MODIFY: {
            const int row = SelectedRecord();
            if (row >= 0) {
                ShowEditor(row);
                Refill();
            }
            return true;
        }
        case ID_TOOL_DELETE: {
            const int row = SelectedRecord();
            long nRows = 0;
            // A failed statement changed nothing, and the store has told why:
            // the list still shows the table. Otherwise the table shows what
            // went: every row of the name, or none when the row was gone.
            if (row < 0 || !ExecuteSql(DeleteSql(static_cast<size_t>(row)), &nRows)) return true;
            if (nRows == 0) win::AppMessageBox("所选记录已不在数据库中，没有删除任何记录。");
            Refill();
            return true;
        }
        case ID_TOOL_EXIT:
            OnCancel();
            return true;
        default:
            return win::Dialog::OnCommand(nId, nCode, hCtl);
    }
}

INT_PTR CReminderListDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NOTIFY) {
        const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
        if (hdr->idFrom == kListId && hdr->code == static_cast<UINT>(NM_CLICK)) {
            // Any click in the list, on a row or not, enables them for good.
            ::SendMessageA(m_hToolBar, TB_ENABLEBUTTON, ID_TOOL_MODIFY, MAKELONG(TRUE, 0));
            ::SendMessageA(m_hToolBar, TB_ENABLEBUTTON, ID_TOOL_DELETE, MAKELONG(TRUE, 0));
            return SetMsgResult(0);
        }
    }
    return win::Dialog::OnMessage(msg, wParam, lParam);
}
