// The one mechanism every source of due reminders goes through (the alarm
// and anniversary tables, and any other source added beside them): which
// minutes each examines, what was shown lately, and how a source that could
// not be read is told.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "reminders/ReminderTime.h"
#include "storage/Statements.h"

// One reminder found due.
struct DueReminder {
    LocalMinute nMinute;  // the minute it is due in
    std::uint64_t nKey;   // what makes it the same reminder on another tick: its row's stored texts
    std::string strTitle;
    std::string strText;
};
using DueReminders = std::vector<DueReminder>;

class ReminderSource {
public:
    virtual ~ReminderSource() = default;
    // Reads afresh what can be due. False when that failed: strFailure then
    // says why, or is empty when the user has been told already. True with a
    // failure when part of it could not be read and the rest is examined.
    virtual bool Read(std::string& strFailure) = 0;
    // Adds every reminder of the last reading due in nFirst..nLast, oldest
    // minute first. A source of one-time reminders lets go of those it adds.
    virtual void Examine(LocalMinute nFirst, LocalMinute nLast, DueReminders& due) = 0;
};

// Texts as one key: 64-bit FNV-1a over each text and its length. Two
// different rows share a key with a chance of 2^-64, far below anything that
// could drop a reminder in practice.
std::uint64_t TextsKey(std::initializer_list<const std::string*> texts);
// The stored texts of a row as one key.
std::uint64_t StoredTextsKey(const MemoRecord& rec);
std::uint64_t StoredTextsKey(const AnniversaryRecord& rec);

// Runs read with the store's failures caught instead of told: false when one
// came, with the first one's text; false with no text when there is no
// database (opening it has told the user why).
bool ReadCaught(const std::function<void()>& read, std::string& strFailure);

// A table of the store as a source: read whole at each tick, examined by its
// check, each row shown with its name as title and its description as text.
template <typename Record>
class TableSource final : public ReminderSource {
public:
    using ReadAll = std::vector<Record> (*)();
    using Check = void (*)(const std::vector<Record>&, LocalMinute, LocalMinute, const DueRow&);
    TableSource(ReadAll read, Check check) : m_read(read), m_check(check) {}

    bool Read(std::string& strFailure) override {
        return ReadCaught([this] { m_rows = m_read(); }, strFailure);
    }
    void Examine(LocalMinute nFirst, LocalMinute nLast, DueReminders& due) override {
        m_check(m_rows, nFirst, nLast, [&](LocalMinute nMinute, int nRow) {
            const Record& rec = m_rows[static_cast<size_t>(nRow)];
            due.push_back(DueReminder{nMinute, StoredTextsKey(rec), rec.strName, rec.strDesc});
        });
    }

private:
    ReadAll m_read;
    Check m_check;
    std::vector<Record> m_rows;
};

// What was shown in the last day of time elapsed (whatever the clock says),
// by key and due minute, so that minutes the clock repeats show nothing twice.
class ShownReminders {
public:
    // True, recording it as shown at nElapsed (minutes), when the reminder
    // was not shown within the day before.
    bool Add(std::uint64_t nKey, LocalMinute nDue, std::int64_t nElapsed);
    // Forgets what was shown a day or more before nElapsed.
    void Forget(std::int64_t nElapsed);

private:
    std::unordered_map<std::uint64_t, std::int64_t> m_shownAt;  // key and minute hashed -> when shown
};

// The minute mechanism: each source keeps its own mark, moved only past
// minutes whose source it read, so the minutes of a table that could not be
// read are examined again at the next tick (at most the last day). A source's
// failure is told once until it is read again.
class ReminderMinutes {
public:
    // Nothing due before nStartUp is shown, unless the clock goes back there.
    explicit ReminderMinutes(LocalMinute nStartUp) : m_nStartUp(nStartUp) {}

    // Examined after the sources added before it, from the start-up minute;
    // with bDayBefore from a day before it, so that what fell due while the
    // program was not running comes at its first tick.
    void AddSource(std::unique_ptr<ReminderSource> source, bool bDayBefore = false);

    using FailureTeller = std::function<void(const std::string& strFailure)>;
    // One tick at local minute nNow, nElapsed minutes of real time after some
    // fixed moment. Every source is read and its minutes taken before
    // anything is told or shown, so a tick nested in a message or a notice
    // takes only later minutes; then each new failure is told (a text two
    // sources share, once) and each due reminder not shown lately is shown.
    void Tick(LocalMinute nNow, std::int64_t nElapsed, const ReminderNotice& notice, const FailureTeller& tell);
    // The next tick examines every source again from nFirst on (at most the
    // last day): rows written meanwhile may be due in minutes already
    // examined. What was shown is not shown again.
    void Rewind(LocalMinute nFirst) {
        for (Check& check : m_checks) check.ticker.Rewind(nFirst);
    }

private:
    struct Check {
        std::unique_ptr<ReminderSource> source;
        MinuteTicker ticker;
        bool bFailureTold;
    };
    LocalMinute m_nStartUp;
    std::vector<Check> m_checks;
    ShownReminders m_shown;
};
