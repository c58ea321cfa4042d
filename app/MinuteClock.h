// The minute clock: a timer just after each minute begins, the change of date
// at midnight, and through the minute mechanism both reminder checks and the
// reminders put off (稍后提醒); each notice with its sound.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>

#include "reminders/ReminderMinutes.h"
#include "reminders/Snoozes.h"
#include "win/LocalTime.h"

class CMinuteClock {
public:
    // Called at the first tick of a new date, before the checks run.
    using NewDay = std::function<void(const win::LocalTime& now)>;

    // Nothing due before nStartUp is shown.
    CMinuteClock(LocalMinute nStartUp, NewDay onNewDay);

    // Starts the timer on hWnd; today is the date the window shows now.
    void Start(HWND hWnd, const win::LocalTime& today);
    // True when nId was the clock's timer (and the tick has run).
    bool OnTimer(UINT_PTR nId);
    // Examines the minutes from nFirst up to now at once: an editor or list
    // open since then may have written rows due in them (an alarm set for the
    // current minute, whose tick has passed). Nothing is shown twice.
    void CheckSince(LocalMinute nFirst);

private:
    void Arm();
    void Tick();
    void Notify(const std::string& strTitle, const std::string& strText);

    HWND m_hWnd = nullptr;
    int m_nYear = 0;  // the date of the last tick
    int m_nMonth = 0;
    int m_nDay = 0;
    ReminderMinutes m_minutes;  // which minutes the reminder checks have examined, what they showed
    SnoozeSource* m_pSnoozes;   // one of m_minutes' sources
    NewDay m_onNewDay;
};
