// 稍后提醒: a notice the user puts off comes again at the minute chosen,
// through the minute mechanism like every other reminder, and is kept in a
// file of its own in the data folder so that it outlives the program's run.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "reminders/ReminderMinutes.h"

namespace snooze {
constexpr const char* kFileName = "稍后提醒.txt";
constexpr const wchar_t* kFileNameW = L"稍后提醒.txt";
}  // namespace snooze

// A reminder put off: its title and text, due again in minute nDue.
struct Snooze {
    LocalMinute nDue;
    std::string strTitle;
    std::string strText;
};

// The file's text: a comment line, then a line for each reminder: its minute
// ("2030-05-01 08:35"), title and text, separated by tabs, with backslash,
// tab, CR and LF inside the texts written \\, \t, \r and \n. A GBK trail
// byte is never a control character, and one that is a backslash is doubled
// and read back byte for byte. No reminders: no text at all.
std::string FormatSnoozes(const std::vector<Snooze>& snoozes);
// Lines that do not read (a damaged file) are left out.
std::vector<Snooze> ParseSnoozes(const std::string& strBytes);

// The reminders put off, as a source of the minute mechanism (added with
// bDayBefore: one that fell due while the program was not running comes at
// its first tick, at most a day late; older ones are dropped).
class SnoozeSource final : public ReminderSource {
public:
    // Reads the file: false when it is there but cannot be read (no file
    // reads as no text).
    using Load = std::function<bool(std::string& strBytes)>;
    // Puts these bytes in place of the file, or removes it for no bytes, so
    // that a crash at any moment leaves the old file or the new one; false
    // when that could not be done.
    using Save = std::function<bool(const std::string& strBytes)>;
    SnoozeSource(Load load, Save save) : m_load(std::move(load)), m_save(std::move(save)) {}

    // Puts a reminder off. False when the file could not be written: it
    // still comes while the program runs.
    bool Add(Snooze snooze);

    // Reads the file once (at every tick until it could be read); while it
    // cannot be, what was put off in this run is still examined.
    bool Read(std::string& strFailure) override;
    // Adds those due in the day up to nLast, whatever minutes were examined
    // before, and lets go of every one due up to nLast (earlier ones are more
    // than a day late).
    void Examine(LocalMinute nFirst, LocalMinute nLast, DueReminders& due) override;

private:
    bool LoadFile();             // the file's reminders added, once
    void Insert(Snooze snooze);  // in the order of their minutes
    bool Store() const { return m_save(FormatSnoozes(m_snoozes)); }

    Load m_load;
    Save m_save;
    bool m_bLoaded = false;
    std::vector<Snooze> m_snoozes;  // oldest minute first
};
