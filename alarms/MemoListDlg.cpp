#include "alarms/MemoListDlg.h"

#include "alarms/AlarmRules.h"
#include "alarms/MemoDlg.h"
#include "res/resource.h"

namespace {
const CReminderListDlg::Column kColumns[5] = {
    {"备忘录名称", 80}, {"开始时间", 80}, {"提醒方式", 80}, {"备忘录描述", 100}, {"是否过期", 80}};
}

CMemoListDlg::CMemoListDlg() : CReminderListDlg(IDD_MEMOLIST_DIALOG, "新建", kColumns) {}

void CMemoListDlg::FillList() {
    const win::LocalTime now = win::LocalTime::Now();
    m_memos = ReadAllMemos();
    for (const MemoRecord& rec : m_memos)
        AddRow({rec.strName, FormatAlarmStart(rec), FormatAlarmRepeat(rec), rec.strDesc, FormatAlarmExpired(rec, now)});
}

void CMemoListDlg::ShowEditor(int nRow) {
    CMemoDlg dlg;
    if (nRow >= 0) {
        const MemoRecord& rec = m_memos[static_cast<size_t>(nRow)];
        dlg.m_bModify = 1;
        dlg.m_strName = rec.strName;
        dlg.m_tmDate = dlg.m_tmTime = StoredMomentOrNow(rec.strStartDate, rec.strStartTime);
        if (!IsOneTimeAlarm(rec)) {
            dlg.m_nRepeat = 1;
            dlg.m_nCount = StoredIntegerOrZero(rec.strInterval);
            dlg.m_strUnit = rec.strUnit;
        } else {
            dlg.m_nRepeat = 0;
        }
        dlg.m_strDesc = rec.strDesc;
    }
    dlg.DoModal();
}

std::string CMemoListDlg::DeleteSql(size_t nRow) const { return MemoDeleteSql(m_memos[nRow].strName); }
