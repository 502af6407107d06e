// The bank contents as the command line prints them: a table in columns, or JSON for a
// script; the rows a bank searched before hides are left out unless asked for, and marked.
#pragma once

#include <QTextStream>

class CBankContentsModel;

class CProgramsListing
{
public:
    struct Choice
    {
        int bank = -1; // the bank whose rows are printed; -1 for every bank
        bool hidden = false;
    };

    static void PrintText(QTextStream& out, const CBankContentsModel& model, Choice choice);
    static void PrintJson(QTextStream& out, const CBankContentsModel& model, Choice choice);

private:
    static bool Shows(const CBankContentsModel& model, int row, Choice choice);
};
