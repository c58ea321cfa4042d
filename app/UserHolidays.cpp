#include "app/UserHolidays.h"

#include <cstring>
#include <string>
#include <vector>

#include "app/core/HolidayFile.h"
#include "win/App.h"
#include "win/File.h"

namespace {

constexpr DWORD kMaxBytes = 1 << 20;  // a year's days take a few hundred bytes

std::string g_strReport;  // what the next ShowReport shows
bool g_bShowing = false;

VOID CALLBACK ShowReport(HWND, UINT, UINT_PTR nId, DWORD) {
    ::KillTimer(nullptr, nId);
    if (g_bShowing) return;  // the box that is open shows this one next
    g_bShowing = true;
    while (!g_strReport.empty()) {
        const std::string text = std::move(g_strReport);
        g_strReport.clear();
        win::AppMessageBox(text, MB_ICONWARNING);
    }
    g_bShowing = false;
}

void Report(const std::string& strText) {
    g_strReport = strText;
    ::SetTimer(nullptr, 0, 0, ShowReport);
}

std::string BadLinesText(const std::vector<int>& lines) {
    std::string numbers;
    for (std::size_t i = 0; i < lines.size() && i < 10; ++i) {
        numbers += (i ? "、" : "") + std::to_string(lines[i]);
    }
    if (lines.size() > 10) numbers += " 等 " + std::to_string(lines.size()) + " 行";
    return std::string(holidays::kFileName) + " 第 " + numbers +
           " 行读不懂，已跳过；\r\n其余各行照用。\r\n\r\n每行写一天：日期、休或班、节日名，例如\r\n"
           "2027-01-01 休 元旦\r\n# 后面的文字是注释。";
}

}  // namespace

bool CUserHolidays::Refresh() {
    WIN32_FILE_ATTRIBUTE_DATA now{};
    if (!::GetFileAttributesExW(holidays::kFileNameW, GetFileExInfoStandard, &now) ||
        (now.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        now = WIN32_FILE_ATTRIBUTE_DATA{};
    }
    const bool same = now.nFileSizeHigh == m_stamp.nFileSizeHigh && now.nFileSizeLow == m_stamp.nFileSizeLow &&
                      std::memcmp(&now.ftLastWriteTime, &m_stamp.ftLastWriteTime, sizeof(FILETIME)) == 0;
    if (m_bRead && same) return false;

    std::string bytes;
    const bool exists = now.dwFileAttributes != 0;
    if (now.nFileSizeHigh != 0 || now.nFileSizeLow > kMaxBytes) {
        Report(std::string(holidays::kFileName) + " 大于 1 MB，没有读取。");
    } else if (exists && !win::ReadFileBytes(holidays::kFileNameW, now.nFileSizeLow, bytes)) {
        return false;  // held by the program saving it: read it at the next look
    }
    m_bRead = true;
    m_stamp = now;
    holidays::HolidayText text = holidays::ParseHolidayText(bytes);
    m_days.SetUserDays(std::move(text.days));
    if (!text.badLines.empty()) Report(BadLinesText(text.badLines));
    return true;
}
