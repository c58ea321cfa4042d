#include "anniversaries/AnniversaryListDlg.h"

#include "anniversaries/AnniversaryDlg.h"
#include "anniversaries/AnniversaryRules.h"
#include "res/resource.h"

namespace {
const CReminderListDlg::Column kColumns[5] = {
    {"纪念日名称", 80}, {"纪念日时间", 80}, {"提醒方式", 80}, {"纪念日描述", 100}, {"是否农历", 80}};
}

CAnniversaryListDlg::CAnniversaryListDlg() : CReminderListDlg(IDD_ANNIVERSARYLIST_DIALOG, "添加", kColumns) {}

void CAnniversaryListDlg::FillList() {
    m_anniversaries = ReadAllAnniversaries();
    for (const AnniversaryRecord& rec : m_anniversaries) {
        AddRow({rec.strName, FormatAnniversaryDate(rec), FormatAdvanceText(StoredIntegerOrZero(rec.strAdvance)),
                rec.strDesc, FormatAnniversaryLunar(rec)});
    }
}

void CAnniversaryListDlg::ShowEditor(int nRow) {
    CAnniversaryDlg dlg;
    if (nRow >= 0) {
        const AnniversaryRecord& rec = m_anniversaries[static_cast<size_t>(nRow)];
        dlg.m_bModify = 1;
        dlg.m_strName = rec.strName;
        dlg.m_tmDate = dlg.m_tmTime = StoredMomentOrNow(rec.strDate, rec.strTime);
        dlg.m_nSetting = StoredIntegerOrZero(rec.strAdvance);
        dlg.m_strDesc = rec.strDesc;
        dlg.m_nLunar = IsLunarAnniversary(rec) ? 1 : 0;
    }
    dlg.DoModal();
}

std::string CAnniversaryListDlg::DeleteSql(size_t nRow) const { return AnniversaryDeleteSql(m_anniversaries[nRow].strName); }
