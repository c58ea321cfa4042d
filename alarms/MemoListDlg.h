// The alarm list: every tb_memo row, with buttons to add, change and delete
// alarms.
#pragma once

#include <vector>

#include "reminders/ReminderListDlg.h"
#include "storage/Statements.h"

class CMemoListDlg : public CReminderListDlg {
public:
    CMemoListDlg();

protected:
    void FillList() override;
    size_t RecordCount() const override { return m_memos.size(); }
    void ShowEditor(int nRow) override;
    std::string DeleteSql(size_t nRow) const override;

private:
    std::vector<MemoRecord> m_memos;  // entry i is list row i, however many rows the table holds
};
