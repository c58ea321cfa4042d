// What the alarm list and the anniversary list share: a flat tool bar of four
// large buttons (add, modify, delete, exit) over a report list view whose
// rows stand for the rows of a table, kept in a row store by the list.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>

#include "win/Dialog.h"
#include "win/Gdi.h"
#include "win/LocalTime.h"

class CReminderListDlg : public win::Dialog {
public:
    struct Column {
        const char* szHeading;
        int nWidth;  // pixels
    };

protected:
    // szAddText: the first button's text; columns: the list's five columns.
    CReminderListDlg(UINT nIdTemplate, const char* szAddText, const Column (&columns)[5]);

    void DoDataExchange(win::DataExchange& dx) override;
    BOOL OnInitDialog() override;
    bool OnCommand(int nId, int nCode, HWND hCtl) override;
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // Reads the whole table into the row store and the list (empty when
    // called), one AddRow per stored row.
    virtual void FillList() = 0;
    virtual size_t RecordCount() const = 0;
    // Shows the editor modally, on store entry nRow, or empty for nRow < 0.
    virtual void ShowEditor(int nRow) = 0;
    // The statement that deletes the rows of store entry nRow's name.
    virtual std::string DeleteSql(size_t nRow) const = 0;

    void AddRow(std::initializer_list<std::string> texts);
    // The moment of a stored date and time for an editor; the current time
    // when they were edited by other means into something that is no date.
    static win::LocalTime StoredMomentOrNow(const std::string& strDate, const std::string& strTime);

private:
    bool CreateToolBar();
    // Store entry of the selection mark; -1 (and the user is told) when there is none.
    int SelectedRecord();
    void Refill();

    const char* m_szAddText;
    const Column (&m_columns)[5];
    HWND m_hToolBar = nullptr;
    win::ImageList m_imageList;  // the tool bar's pictures, kept while it lives
    win::Window m_listCtrl;
};
