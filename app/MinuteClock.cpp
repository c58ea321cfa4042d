#include "app/MinuteClock.h"

#include <mmsystem.h>

#include "alarms/AlarmRules.h"
#include "anniversaries/AnniversaryRules.h"
#include "app/Profile.h"
#include "app/core/WindowSettings.h"
#include "reminders/NoticeDlg.h"
#include "win/App.h"
#include "win/File.h"

namespace {
constexpr UINT_PTR kMinuteTimer = 1;
constexpr UINT kMinuteSlackMs = 200;  // after the minute's start, so the clock reads the new minute

constexpr DWORD kMaxSnoozeBytes = 64u << 20;  // far beyond what anyone puts off

void TellUnreadable(const std::string& strFailure) {
    win::AppMessageBox("读取提醒失败：\r\n" + strFailure + "\r\n可以读取后，其间到期的提醒会补上（最多一天）。");
}

bool LoadSnoozes(std::string& bytes) {
    bytes.clear();
    WIN32_FILE_ATTRIBUTE_DATA file{};
    if (!::GetFileAttributesExW(snooze::kFileNameW, GetFileExInfoStandard, &file)) {
        return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    return !(file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && file.nFileSizeHigh == 0 &&
           file.nFileSizeLow <= kMaxSnoozeBytes && win::ReadFileBytes(snooze::kFileNameW, file.nFileSizeLow, bytes);
}

// The user's reminder sound, or the default beep where the sound scheme has
// none; neither is waited for.
void PlayReminderSound() {
    DWORD size = 0;
    const bool inScheme =
        ::RegGetValueA(HKEY_CURRENT_USER, "AppEvents\\Schemes\\Apps\\.Default\\Notification.Reminder\\.Current", nullptr,
                       RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, nullptr, &size) == ERROR_SUCCESS &&
        size > 1;
    if (!inScheme || !::PlaySoundA("Notification.Reminder", nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT)) {
        ::MessageBeep(MB_OK);
    }
}
}  // namespace

CMinuteClock::CMinuteClock(LocalMinute nStartUp, NewDay onNewDay)
    : m_minutes(nStartUp), m_onNewDay(std::move(onNewDay)) {
    m_minutes.AddSource(std::make_unique<TableSource<MemoRecord>>(ReadAllMemos, CheckMemoAlarms));
    m_minutes.AddSource(std::make_unique<TableSource<AnniversaryRecord>>(ReadAllAnniversaries, CheckAnniversaries));
    auto snoozes = std::make_unique<SnoozeSource>(
        LoadSnoozes, [](const std::string& bytes) { return win::ReplaceFileBytes(snooze::kFileNameW, bytes); });
    m_pSnoozes = snoozes.get();
    m_minutes.AddSource(std::move(snoozes), true);
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
    m_minutes.Tick(ToLocalMinute(now), static_cast<std::int64_t>(::GetTickCount64() / 60000),
                   [this](const std::string& strTitle, const std::string& strText) { Notify(strTitle, strText); },
                   TellUnreadable);
}

// One notice with its sound; put off, it is due again that many minutes from
// the minute it was put off in.
void CMinuteClock::Notify(const std::string& strTitle, const std::string& strText) {
    using namespace settings;
    if (ParseSwitch(ReadSetting(kKeySound, kSwitchChars)) != Switch::Off) PlayReminderSound();
    const int nMinutes = ShowReminderNotice(strTitle, strText);
    if (nMinutes <= 0) return;
    if (!m_pSnoozes->Add(Snooze{ToLocalMinute(win::LocalTime::Now()) + nMinutes, strTitle, strText})) {
        win::AppMessageBox("这条提醒会在 " + std::to_string(nMinutes) + " 分钟后再来，但无法记入 " +
                           snooze::kFileName + "（文件夹只读或没有写入权限）：程序在那之前退出的话，它就不会再来了。");
    }
}
