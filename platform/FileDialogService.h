#pragma once

#include <QString>

#include <functional>

class QWidget;

// What an open or save file dialog is asked for.
struct FileDialogRequest
{
    bool open = true;
    // The extension added to a typed name that has none: "*.txt", ".txt" or "txt".
    QString defaultExt;
    // The name proposed at the start; may be empty.
    QString fileName;
    // Filters as "description|pattern|description|pattern|": each "|" ends one string and
    // patterns are separated by ";".
    QString filter;
    QWidget* parent = nullptr;
    // When given: a line of text the dialog shows about the file the user has selected
    // (such as what it would take), given its path; "" shows nothing.
    std::function<QString(const QString& path)> describeFile = nullptr;
};

// Runs modal open and save file dialogs; replaceable so that tests can answer them.
class CFileDialogService
{
public:
    virtual ~CFileDialogService();

    // The full path chosen, or "" when the dialog was cancelled.
    virtual QString Run(const FileDialogRequest& request) = 0;

    // The service in use: the installed one, else the one on QFileDialog.
    static CFileDialogService& Current();
    // Makes service the current one; nullptr restores the QFileDialog one. The caller
    // keeps ownership.
    static void Install(CFileDialogService* service);

    // "desc|*.a;*.b|desc2|*.c|" becomes "desc (*.a *.b);;desc2 (*.c)"; the list ends at the
    // first empty description, a description without a pattern is dropped.
    static QString ToQtFilter(const QString& windowsFilter);
    // The bare extension of a default extension given as "*.txt", ".txt" or "txt".
    static QString BareExtension(const QString& defaultExt);
    // path with the default extension appended when its file name has no extension.
    static QString WithDefaultExtension(const QString& path, const QString& defaultExt);
};
