// What a main window test starts from: a card kept in a temporary directory and reached
// through the real card library, the program's directory and the user's configuration in
// that directory too, and recorded message boxes.
#pragma once

#include "KorvaneDlg.h"
#include "Options.h"
#include "RecordingMessageBox.h"
#include "SharedSynthLibrary.h"

#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class CWindowTestBed
{
public:
    CWindowTestBed();
    ~CWindowTestBed();
    CWindowTestBed(const CWindowTestBed&) = delete;
    CWindowTestBed& operator=(const CWindowTestBed&) = delete;

    // Empty when the bed is ready, else what is missing.
    QString Problem() const;

    QString Path(const QString& name) const { return m_dir.filePath(name); }
    CRecordingMessageBox& Messages() { return m_messages; }
    CSharedSynthLibrary& Library() { return *m_library; }

    // The options file a previous run left.
    static void WriteOptions(const QString& startupPreset, uint32_t display);
    // A new bank file NAME.94b with one instrument, named so inside too.
    QString MakeBank(const QString& name) const;
    // A preset file holding new bank files of these names, saved by a previous run that
    // then emptied the card again.
    QString MakePreset(const QString& name, const QStringList& banks);
    // The main window after its start-up sequence, on screen.
    std::unique_ptr<CKorvaneDlg> StartWindow();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<CSharedSynthLibrary> m_library;
    CRecordingMessageBox m_messages;
};
