// The anniversary list: every tb_remeber row, with buttons to add, change
// and delete anniversaries. Several rows can be selected; the commands act
// on the selection mark.
#pragma once

#include <vector>

#include "reminders/ReminderListDlg.h"
#include "storage/Statements.h"

class CAnniversaryListDlg : public CReminderListDlg {
public:
    CAnniversaryListDlg();

protected:
    void FillList() override;
    size_t RecordCount() const override { return m_anniversaries.size(); }
    void ShowEditor(int nRow) override;
    std::string DeleteSql(size_t nRow) const override;

private:
    std::vector<AnniversaryRecord> m_anniversaries;  // entry i is list row i, however many rows there are
};
