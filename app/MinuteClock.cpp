#include "app/MinuteClock.h"

#include "alarms/AlarmRules.h"
#include "anniversaries/AnniversaryRules.h"
#include "reminders/NoticeDlg.h"

namespace {
constexpr UINT_PTR kMinuteTimer = 1;
constexpr UINT kMinuteSlackMs = 200;  // after the minute's start, so the clock reads the new minute
}  // namespace

void CMinuteClock::Start(HWND hWnd, const win::LocalTime& today) {
    m_hWnd = hWnd;
    m_nYear = today.nYear;
    m_nMonth = today.nMonth;
    m_nDay = today.nDay;
    Arm();
}

bool CMinuteClock::OnTimer(UINT_PTR nId) {
    if (nId != kMinuteTimer) return false;
    Tick();
    return true;
}

// The timer fires just after each minute begins, so that a reminder shows
// within a second or two of its minute; it is set anew at every tick.
void CMinuteClock::Arm() {
    const win::LocalTime now = win::LocalTime::Now();
    ::SetTimer(m_hWnd, kMinuteTimer, static_cast<UINT>((60 - now.nSecond) * 1000 + kMinuteSlackMs), nullptr);
}

void CMinuteClock::Tick() {
    Arm();
    const win::LocalTime now = win::LocalTime::Now();
    if (now.nYear != m_nYear || now.nMonth != m_nMonth || now.nDay != m_nDay) {
        m_nYear = now.nYear;
        m_nMonth = now.nMonth;
        m_nDay = now.nDay;
        m_onNewDay(now);
    }
    // The mark moves before any notice shows: a tick that arrives while a
    // notice is open takes only the minutes after these.
    const MinuteTicker::Range minutes = m_ticker.Take(ToLocalMinute(now));
    if (minutes.IsEmpty()) return;
    CheckMemoAlarms(minutes.nFirst, minutes.nLast, ShowReminderNotice);
    CheckAnniversaries(minutes.nFirst, minutes.nLast, ShowReminderNotice);
}
