#include "reminders/Snoozes.h"

#include <algorithm>
#include <cstdio>

namespace {

const char kHeader[] = "# Quorvel 的稍后提醒：时间、标题、内容，由程序读写\r\n";

void AppendEscaped(std::string& out, const std::string& text) {
    for (char c : text) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            default: out += c;
        }
    }
}

bool Unescape(const std::string& text, std::string& out) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        const char c = ++i < text.size() ? text[i] : '\0';
        if (c != '\\' && c != 't' && c != 'r' && c != 'n') return false;
        out += c == 't' ? '\t' : c == 'r' ? '\r' : c == 'n' ? '\n' : '\\';
    }
    return true;
}

bool ParseLine(const std::string& line, Snooze& s) {
    const size_t tab1 = line.find('\t'), space = line.find(' ');
    const size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
    if (tab2 == std::string::npos || line.find('\t', tab2 + 1) != std::string::npos || space > tab1) return false;
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0;
    if (!ParseStoredDate(line.substr(0, space), y, mo, d) ||
        !ParseStoredTime(line.substr(space + 1, tab1 - space - 1), h, mi, sec)) {
        return false;
    }
    s.nDue = ToLocalMinute(y, mo, d, h, mi);
    return Unescape(line.substr(tab1 + 1, tab2 - tab1 - 1), s.strTitle) && Unescape(line.substr(tab2 + 1), s.strText);
}

}  // namespace

std::string FormatSnoozes(const std::vector<Snooze>& snoozes) {
    if (snoozes.empty()) return "";
    std::string out = kHeader;
    for (const Snooze& s : snoozes) {
        const CivilMinute m = ToCivilMinute(s.nDue);
        char when[32];
        std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d\t", m.nYear, m.nMonth, m.nDay, m.nHour, m.nMinute);
        out += when;
        AppendEscaped(out, s.strTitle);
        out += '\t';
        AppendEscaped(out, s.strText);
        out += "\r\n";
    }
    return out;
}

std::vector<Snooze> ParseSnoozes(const std::string& strBytes) {
    std::vector<Snooze> snoozes;
    for (size_t start = 0; start < strBytes.size();) {
        size_t end = strBytes.find('\n', start);
        if (end == std::string::npos) end = strBytes.size();
        std::string line = strBytes.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        Snooze s{};
        if (!line.empty() && line[0] != '#' && ParseLine(line, s)) snoozes.push_back(std::move(s));
    }
    return snoozes;
}

void SnoozeSource::Insert(Snooze snooze) {
    const auto at = std::upper_bound(m_snoozes.begin(), m_snoozes.end(), snooze.nDue,
                                     [](LocalMinute nDue, const Snooze& s) { return nDue < s.nDue; });
    m_snoozes.insert(at, std::move(snooze));
}

bool SnoozeSource::LoadFile() {
    if (m_bLoaded) return true;
    std::string bytes;
    if (!m_load(bytes)) return false;
    m_bLoaded = true;
    std::vector<Snooze> meanwhile = std::move(m_snoozes);  // put off while the file could not be read
    m_snoozes.clear();
    for (Snooze& s : ParseSnoozes(bytes)) Insert(std::move(s));
    for (Snooze& s : meanwhile) Insert(std::move(s));
    return true;
}

bool SnoozeSource::Add(Snooze snooze) {
    Insert(std::move(snooze));
    return LoadFile() && Store();  // what the file holds is read first, and kept
}

bool SnoozeSource::Read(std::string& strFailure) {
    strFailure.clear();
    const bool bUnsaved = !m_bLoaded && !m_snoozes.empty();  // put off while the file could not be read
    if (!LoadFile()) {
        // What was put off in this run still comes; the file's own wait.
        strFailure = std::string(snooze::kFileName) + " 无法读取。";
    } else if (bUnsaved) {
        Store();
    }
    return true;
}

void SnoozeSource::Examine(LocalMinute /*nFirst*/, LocalMinute nLast, DueReminders& due) {
    // Each is let go of once handed out, so every one due in the last day
    // comes, also one of the file that could not be read when its minute
    // was examined.
    const LocalMinute nOldest = nLast - (kMinutesPerDay - 1);
    auto end = m_snoozes.begin();
    for (; end != m_snoozes.end() && end->nDue <= nLast; ++end) {
        if (end->nDue >= nOldest) {
            due.push_back(DueReminder{end->nDue, TextsKey({&end->strTitle, &end->strText}), end->strTitle, end->strText});
        }
    }
    if (end == m_snoozes.begin()) return;
    m_snoozes.erase(m_snoozes.begin(), end);
    // One that cannot be written comes once more at the next start; a file
    // not read yet is not written over.
    if (m_bLoaded) Store();
}
