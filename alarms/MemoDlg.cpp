#include "alarms/MemoDlg.h"

#include <cmath>
#include <utility>

#include "storage/Statements.h"
#include "win/App.h"
#include "win/Dpi.h"

namespace {
constexpr UINT_PTR kClockTimer = 1;
constexpr double kPi = 3.14159265358979323846;
const char* const kUnits[] = {"天", "周", "月", "年"};

std::string WindowText(HWND hWnd) {
    const int len = ::GetWindowTextLengthA(hWnd);
    std::string text(static_cast<size_t>(len > 0 ? len : 0) + 1, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(hWnd, &text[0], len + 1)));
    return text;
}

// One hand from the centre, at angle theta from three o'clock counter-clockwise.
void DrawHand(HDC hdc, int cx, int cy, double theta, int nLength, int nWidth, COLORREF colour) {
    win::Pen pen(::CreatePen(PS_SOLID, nWidth, colour));
    win::SelectObjectScope select(hdc, pen);
    ::MoveToEx(hdc, cx, cy, nullptr);
    ::LineTo(hdc, static_cast<int>(cx + nLength * std::cos(theta)), static_cast<int>(cy - nLength * std::sin(theta)));
}
}  // namespace

void CMemoDlg::DoDataExchange(win::DataExchange& dx) {
    win::DDX_Control(dx, IDC_PIC_CLOCK, m_picClock);
    win::DDX_Control(dx, IDC_COMBO_MEMO_UNIT, m_comboUnit);
    win::DDX_Control(dx, IDC_BTN_MEMO_OK, m_btnOK);
    win::DDX_Control(dx, IDC_BTN_MEMO_CANCEL, m_btnCancel);
    win::DDX_DateTimeCtrl(dx, IDC_DATE_MEMO_START, m_tmDate);
    win::DDX_DateTimeCtrl(dx, IDC_TIME_MEMO_START, m_tmTime);
    win::DDX_Text(dx, IDC_EDIT_MEMO_NAME, m_strName);
    win::DDX_Text(dx, IDC_EDIT_MEMO_DESC, m_strDesc);
    win::DDX_Radio(dx, IDC_RADIO_MEMO_ONCE, m_nRepeat);
    win::DDX_Text(dx, IDC_EDIT_MEMO_COUNT, m_nCount);
}

BOOL CMemoDlg::OnInitDialog() {
    win::Dialog::OnInitDialog();
    for (const char* unit : kUnits)
        ::SendMessageA(m_comboUnit.m_hWnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(unit));

    SetOkCancelIcons(m_imageList, m_btnOK, m_btnCancel);
    ShowDial();

    if (!m_bModify) {
        EnableRepeat(false);
        m_tmDate = m_tmTime = win::LocalTime::Now();
        m_nCount = 1;
        UpdateData(false);
        ::CheckDlgButton(m_hWnd, IDC_RADIO_MEMO_ONCE, BST_CHECKED);
    } else {
        // The name is the row's key.
        ::EnableWindow(GetDlgItem(IDC_EDIT_MEMO_NAME), FALSE);
        if (m_nRepeat == 0) {
            EnableRepeat(false);
            ::CheckDlgButton(m_hWnd, IDC_RADIO_MEMO_ONCE, BST_CHECKED);
        } else {
            ::CheckDlgButton(m_hWnd, IDC_RADIO_MEMO_REPEAT, BST_CHECKED);
            ::SetWindowTextA(m_comboUnit.m_hWnd, m_strUnit.c_str());
        }
    }

    const win::LocalTime now = win::LocalTime::Now();
    m_nHour = now.nHour;
    m_nMinute = now.nMinute;
    m_nSecond = now.nSecond;
    ::SetTimer(m_hWnd, kClockTimer, 1000, nullptr);
    return TRUE;
}

// The dial at the window's DPI; the control takes its size. The control lets
// go of the old dial before it is deleted.
void CMemoDlg::ShowDial() {
    win::Bitmap dial = win::LoadPictureForDpi(win::AppInstance(), IDB_CLOCK, m_nDpi);
    ::SendMessageA(m_picClock.m_hWnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(dial.Get()));
    m_bmpDial = std::move(dial);
}

void CMemoDlg::OnDpiChanged(int nDpi, const RECT& rcSuggested) {
    win::Dialog::OnDpiChanged(nDpi, rcSuggested);
    ShowDial();
}

void CMemoDlg::EnableRepeat(bool bEnable) {
    ::EnableWindow(m_comboUnit.m_hWnd, bEnable);
    ::EnableWindow(GetDlgItem(IDC_EDIT_MEMO_COUNT), bEnable);
}

bool CMemoDlg::OnCommand(int nId, int nCode, HWND hCtl) {
    switch (nId) {
        case IDC_RADIO_MEMO_ONCE:
        case IDC_RADIO_MEMO_REPEAT:
            if (nCode == BN_CLICKED) {
                m_nRepeat = nId == IDC_RADIO_MEMO_REPEAT ? 1 : 0;
                EnableRepeat(m_nRepeat == 1);
            }
            return true;
        case IDC_BTN_MEMO_OK:
            if (nCode == BN_CLICKED) OnSaveMemo();
            return true;
        case IDC_BTN_MEMO_CANCEL:
            if (nCode == BN_CLICKED) OnCancel();
            return true;
        default:
            return win::Dialog::OnCommand(nId, nCode, hCtl);
    }
}

void CMemoDlg::OnSaveMemo() {
    if (!UpdateData(true)) return;  // N is not an integer: the exchange has said so
    if (m_strName.empty()) {
        win::AppMessageBox("备忘录名称不能为空！");
        return;
    }
    const bool bRepeat = m_nRepeat == 1;
    // The unit as the field shows it: a unit typed rather than picked from
    // the list is what the user sees and must not be dropped.
    const std::string strInterval = bRepeat ? std::to_string(m_nCount) : "NULL";
    const std::string strUnit = bRepeat ? WindowText(m_comboUnit.m_hWnd) : "NULL";
    const std::string strDate = m_tmDate.Format("%Y-%m-%d");
    const std::string strTime = m_tmTime.Format("%H:%M:%S");
    const int nCount = bRepeat ? -1 : 0;
    const std::string strSql =
        m_bModify ? MemoUpdateSql(strInterval, strUnit, strDate, strTime, m_strDesc, nCount, m_strName)
                  : MemoInsertSql(m_strName, strInterval, strUnit, strDate, strTime, m_strDesc, nCount);
    // Unless it was stored, the form stays as it is so that nothing typed is lost.
    const SaveOutcome outcome = SaveEditedRow(m_bModify, MemoNameSql(m_strName), strSql);
    const std::string strTell = SaveOutcomeText(outcome, m_bModify, "备忘录", m_strName);
    if (!strTell.empty()) win::AppMessageBox(strTell);
    if (outcome == SaveOutcome::Saved) UpdateData(false);
}

void CMemoDlg::DrawClock() {
    HWND hPic = m_picClock.m_hWnd;
    if (!hPic) return;
    win::WindowDC dc(hPic);
    const auto S = [this](int n96) { return win::Scale(n96, m_nDpi); };
    {
        // A white face inside the dial covers the hands drawn last time.
        win::Region face(::CreateEllipticRgn(S(25), S(22), S(75), S(72)));
        win::Brush brush(::CreateHatchBrush(HS_VERTICAL, RGB(255, 255, 255)));
        ::FillRgn(dc, face, brush);
    }
    RECT rc;
    ::GetClientRect(hPic, &rc);
    const int cx = rc.right / 2;
    const int cy = rc.bottom / 2;
    DrawHand(dc, cx, cy, kPi / 2 - m_nSecond * kPi / 30, S(23), S(1), RGB(255, 0, 0));
    DrawHand(dc, cx, cy, kPi / 2 - m_nMinute * kPi / 30, S(20), S(2), RGB(0, 0, 0));
    DrawHand(dc, cx, cy, kPi / 2 - m_nHour * kPi / 6, S(15), S(3), RGB(0, 0, 0));
}

// Draws the time held, then moves it on by a second: the clock is never
// read again while the editor is open.
void CMemoDlg::OnTimer(UINT_PTR nId) {
    if (nId != kClockTimer) return;
    DrawClock();
    if (++m_nSecond == 60) {
        m_nSecond = 0;
        if (++m_nMinute == 60) {
            m_nMinute = 0;
            ++m_nHour;
        }
    }
}

LRESULT CMemoDlg::CClockPicture::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = Default(msg, wParam, lParam);
    if (msg == WM_PAINT) m_owner.DrawClock();
    return result;
}
