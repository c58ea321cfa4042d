// Making a new, empty reminder database: the file db_Quorvel.mdb in the
// working directory with its two tables. The program does it on a first start
// when the user agrees; the QuorvelDb tool does it for scripted set-ups.
#pragma once

#include <string>

enum class CreateDbResult {
    Created,        // the file and both tables are new
    AlreadyExists,  // a file of that name is there; it was left untouched
    Failed,         // nothing was made (a half-made file is removed)
};

// Asks the "Microsoft Access Driver (*.mdb)" to create the file
// (SQLConfigDataSourceW with CREATE_DB=), then creates tb_memo and
// tb_remeber through the store. strMessage says what happened (GBK).
CreateDbResult CreateReminderDatabase(std::string& strMessage);
