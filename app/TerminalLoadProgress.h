// A preset load's progress on a terminal: one line, rewritten in place, with the bank
// being loaded and the share of the preset's memory done.
#pragma once

#include "LoadProgress.h"

#include <QTextStream>

class CTerminalLoadProgress : public LoadProgress
{
public:
    explicit CTerminalLoadProgress(QTextStream& stream) : m_stream(stream) {}
    // Ends the line, so that what follows starts on a line of its own.
    ~CTerminalLoadProgress() override;
    CTerminalLoadProgress(const CTerminalLoadProgress&) = delete;
    CTerminalLoadProgress& operator=(const CTerminalLoadProgress&) = delete;

    void SetLegend(const QString& text) override;
    void SetRange(uint32_t max) override;
    void SetPos(uint32_t position) override;

    // The factory the bank table takes, writing to stream.
    static LoadProgressFactory Factory(QTextStream& stream);

private:
    void Draw();

    QTextStream& m_stream;
    QString m_strLegend;
    uint32_t m_nMax = 0;
    uint32_t m_nPos = 0;
};
