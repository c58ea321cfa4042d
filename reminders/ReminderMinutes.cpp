#include "reminders/ReminderMinutes.h"

#include <algorithm>
#include <utility>

namespace {

const std::uint64_t kFnvOffset = 14695981039346656037ull;

std::uint64_t Hash(std::uint64_t nHash, const void* pData, size_t nBytes) {
    const unsigned char* p = static_cast<const unsigned char*>(pData);
    for (size_t i = 0; i < nBytes; ++i) nHash = (nHash ^ p[i]) * 1099511628211ull;
    return nHash;
}

}  // namespace

std::uint64_t TextsKey(std::initializer_list<const std::string*> texts) {
    std::uint64_t nHash = kFnvOffset;
    for (const std::string* text : texts) {
        const std::uint64_t nLength = text->size();
        nHash = Hash(Hash(nHash, &nLength, sizeof nLength), text->data(), text->size());
    }
    return nHash;
}

std::uint64_t StoredTextsKey(const MemoRecord& r) {
    return TextsKey({&r.strName, &r.strInterval, &r.strUnit, &r.strStartDate, &r.strStartTime, &r.strDesc,
                     &r.strCount});
}

std::uint64_t StoredTextsKey(const AnniversaryRecord& r) {
    return TextsKey({&r.strName, &r.strDate, &r.strTime, &r.strAdvance, &r.strDesc, &r.strLunar});
}

bool ReadCaught(const std::function<void()>& read, std::string& strFailure) {
    strFailure.clear();
    if (!g_pConnection) return false;
    bool bFailed = false;
    struct Restore {  // the previous reporter, back however the read ends
        DbErrorReporter previous;
        ~Restore() { SetDbErrorReporter(std::move(previous)); }
    } restore{SetDbErrorReporter([&](const std::string& strMessage) {
        if (!bFailed) strFailure = strMessage;
        bFailed = true;
    })};
    read();
    return !bFailed;
}

bool ShownReminders::Add(std::uint64_t nKey, LocalMinute nDue, std::int64_t nElapsed) {
    const auto inserted = m_shownAt.emplace(Hash(nKey, &nDue, sizeof nDue), nElapsed);
    if (!inserted.second && nElapsed - inserted.first->second < kMinutesPerDay) return false;
    inserted.first->second = nElapsed;
    return true;
}

void ShownReminders::Forget(std::int64_t nElapsed) {
    for (auto it = m_shownAt.begin(); it != m_shownAt.end();) {
        it = nElapsed - it->second >= kMinutesPerDay ? m_shownAt.erase(it) : std::next(it);
    }
}

void ReminderMinutes::AddSource(std::unique_ptr<ReminderSource> source, bool bDayBefore) {
    m_checks.push_back(Check{std::move(source), MinuteTicker(m_nStartUp - (bDayBefore ? kMinutesPerDay : 0)), false});
}

void ReminderMinutes::Tick(LocalMinute nNow, std::int64_t nElapsed, const ReminderNotice& notice,
                           const FailureTeller& tell) {
    DueReminders due;
    std::vector<std::string> failures;
    for (Check& check : m_checks) {
        std::string strFailure;
        const bool bRead = check.source->Read(strFailure);
        if (!bRead || !strFailure.empty()) {
            if (!check.bFailureTold && !strFailure.empty() &&
                std::find(failures.begin(), failures.end(), strFailure) == failures.end()) {
                failures.push_back(strFailure);
            }
            check.bFailureTold = true;
        } else {
            check.bFailureTold = false;
        }
        if (!bRead) continue;
        const MinuteTicker::Range minutes = check.ticker.Take(nNow);
        check.source->Examine(minutes.nFirst, minutes.nLast, due);
    }
    // Recorded as shown before the first notice: a nested tick that examines
    // these minutes again (the clock went back meanwhile) skips them.
    m_shown.Forget(nElapsed);
    DueReminders fresh;
    for (DueReminder& d : due) {
        if (m_shown.Add(d.nKey, d.nMinute, nElapsed)) fresh.push_back(std::move(d));
    }
    for (const std::string& strFailure : failures) tell(strFailure);
    for (const DueReminder& d : fresh) notice(d.strTitle, d.strText);
}
