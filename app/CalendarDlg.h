// The main window: the skinned month, the year list and the month buttons.
// It owns the tray icon, the minute clock and the command menu, and applies
// the window settings.
#pragma once

#include <windows.h>

#include <string>

#include "app/MinuteClock.h"
#include "app/TrayIcon.h"
#include "app/UserHolidays.h"
#include "res/resource.h"
#include "view/MonthView.h"
#include "view/SkinMenu.h"
#include "win/Dialog.h"
#include "win/Gdi.h"

// Asks the running calendar to come forward (sent by a second start).
constexpr const char* kActivateMessage = "Quorvel.Activate";
// The window property that marks the calendar's main window for a second start.
constexpr const wchar_t* kMainWindowProp = L"Quorvel.Calendar";

class CCalendarDlg : public win::Dialog {
public:
    explicit CCalendarDlg(HWND hParent = nullptr);
    ~CCalendarDlg() override;

    void DrawMonth();
    void SaveWindowPosition();
    // Reads the settings file and applies opacity, start with Windows,
    // click-through, place and stacking.
    void ApplyWindowSettings();

protected:
    void DoDataExchange(win::DataExchange& dx) override;
    BOOL OnInitDialog() override;
    bool PreTranslateMessage(MSG& msg) override;
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(int nId, int nCode, HWND hCtl) override;
    void OnOK() override;
    void OnTimer(UINT_PTR nId) override;
    void OnDpiChanged(int nDpi, const RECT& rcSuggested) override;

private:
    void FitSkin();
    void OnPaint();
    void OnSysCommand(UINT nId, LPARAM lParam);
    void StepMonth(int nDelta);
    void OnSelchangeYear();
    void SelectYearInList();
    // Asks the exit question; on OK saves the place and ends the window (bQuit:
    // the exit command also ends every modal loop).
    void EndAfterQuestion(bool bQuit);
    void SetToday(const win::LocalTime& now);
    void OnNewDay(const win::LocalTime& now);
    void UpdateTodayTip();
    void OnTrayNotify(LPARAM lParam);
    void OnContextMenu(HWND hWnd, LPARAM lParam);
    void TrackMenu(int x, int y, UINT nFlags);
    void KeepAtBottom();
    void OnMenuCommand(int nId);
    void ApplyAutoRun(const std::string& strValue);
    void OnActivateRequest();

    CSkinMenu m_menu;
    int m_bInitDone = 0;  // 1 once start-up has applied the settings; moves are saved from then on
    std::string m_strRunKey;
    int m_nYear = 0;
    int m_nMonth = 0;
    int m_nDay = 0;        // today's day of the month, kept up to date by the minute clock
    int m_nTodayYear = 0;  // and its year and month
    int m_nTodayMonth = 0;
    int m_nStyle = -1;     // the stacking last applied: 0 ordinary, 1 topmost, 2 bottom, -1 none
    UINT m_uActivate = 0;  // kActivateMessage
    CTrayIcon m_tray;
    CMinuteClock m_clock;
    CUserHolidays m_holidays;    // the user's days off and workdays over the built-in ones
    bool m_bShowDaysOff = true;  // the 休/班 marks and today's holiday in the tip (显示休班)
    win::Window m_comboYear;
    HICON m_hIcon = nullptr;  // the window's icon for drawing when minimised: not destroyed here
    BackgroundBrush m_background;  // the skin brush: the window's background and the month's eraser
};
