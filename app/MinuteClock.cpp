#include "app/MinuteClock.h"

#include "alarms/AlarmRules.h"
#include "anniversaries/AnniversaryRules.h"
#include "reminders/NoticeDlg.h"
#include "win/App.h"

namespace {
constexpr UINT_PTR kMinuteTimer = 1;
constexpr UINT kMinuteSlackMs = 200;  // after the minute's start, so the clock reads the new minute

void TellUnreadable(const std::string& strFailure) {
    win::AppMessageBox("读取提醒失败：\r\n" + strFailure + "\r\n数据库可以读取后，其间到期的提醒会补上（最多一天）。");
}
}  // namespace

CMinuteClock::CMinuteClock(LocalMinute nStartUp, NewDay onNewDay)
    : m_minutes(nStartUp), m_onNewDay(std::move(onNewDay)) {
    m_minutes.AddSource(std::make_unique<TableSource<MemoRecord>>(ReadAllMemos, CheckMemoAlarms));
    m_minutes.AddSource(std::make_unique<TableSource<AnniversaryRecord>>(ReadAllAnniversaries, CheckAnniversaries));
}

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

void CMinuteClock::CheckSince(LocalMinute nFirst) {
    m_minutes.Rewind(nFirst);
    Tick();
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
    // Real time for what was shown lately: it goes on when the clock is put back.
    m_minutes.Tick(ToLocalMinute(now), static_cast<std::int64_t>(::GetTickCount64() / 60000), ShowReminderNotice,
                   TellUnreadable);
}
