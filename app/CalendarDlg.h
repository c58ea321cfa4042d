// The main window: the skinned month, the year list and the month buttons.
// It owns the tray icon and the command menu, applies the window settings
// and runs the minute checks.
#pragma once

#include <windows.h>

#include <string>

#include "res/resource.h"
#include "view/MonthView.h"
#include "view/SkinMenu.h"
#include "win/Dialog.h"
#include "win/Gdi.h"

// The tray icon's callback message.
constexpr UINT WM_TRAYNOTIFY = 12001;

class CCalendarDlg : public win::Dialog {
public:
    explicit CCalendarDlg(HWND hParent = nullptr);
    ~CCalendarDlg() override;

    void DrawMonth();
    void SaveWindowPosition();
    // Reads the settings file and applies opacity, start with Windows,
    // click-through, place and stacking.
    void ApplyWindowSettings();
    void RemoveTrayIcon();

protected:
    void DoDataExchange(win::DataExchange& dx) override;
    BOOL OnInitDialog() override;
    bool PreTranslateMessage(MSG& msg) override;
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(int nId, int nCode, HWND hCtl) override;
    void OnOK() override;
    void OnTimer(UINT_PTR nId) override;

private:
    void OnPaint();
    void OnClose();
    void OnSysCommand(UINT nId, LPARAM lParam);
    void OnPrevMonth();
    void OnNextMonth();
    void OnSelchangeYear();
    void SelectYearInList();
    bool AskToExit();
    void OnExit();
    void AddTrayIcon(const std::string& strDate, const std::string& strLunar);
    bool NotifyTrayIcon(DWORD dwMessage);
    void AddTrayIconOrRetry();
    void OnTrayNotify(LPARAM lParam);
    void OnContextMenu(HWND hWnd, LPARAM lParam);
    void TrackMenu(int x, int y, UINT nFlags);
    void OnMenuCommand(int nId);
    void ApplyAutoRun(const std::string& strValue);

    CSkinMenu m_menu;
    int m_bInitDone = 0;  // 1 once start-up has applied the settings; moves are saved from then on
    std::string m_strRunKey;
    int m_nYear = 0;
    int m_nMonth = 0;
    int m_nDay = 0;       // today's day of the month, captured at start-up
    std::string m_strLunarText;
    std::string m_strTrayTip;
    int m_nTrayId = 0;          // today's day + 247, also the day icon's resource number
    win::Icon m_trayIcon;       // the day icon shown in the tray
    UINT m_uTaskbarCreated = 0;  // broadcast when the taskbar is made anew
    int m_nTrayRetries = 0;
    win::Window m_btnPrev;
    win::Window m_btnNext;
    win::Window m_comboYear;
    HICON m_hIcon = nullptr;  // shared resource icon: not destroyed
    BackgroundBrush m_background;  // the skin brush: the window's background and the month's eraser
};
