// A preset load's progress on a terminal: one line, rewritten in place, with the bank
// being loaded and the share of the preset's memory done.
#pragma once

#include "LoadProgress.h"

#include <QByteArray>
#include <QTextStream>

#include <optional>

class CTerminalLoadProgress : public LoadProgress
{
public:
    // How the line is rewritten: over spaces on a terminal that knows no escape codes,
    // else erased to its end with one.
    enum class Erase
    {
        WithSpaces,
        WithEscapeCode
    };

    CTerminalLoadProgress(QTextStream& stream, Erase erase) : m_stream(stream), m_erase(erase) {}
    // Ends the line, so that what follows starts on a line of its own.
    ~CTerminalLoadProgress() override;
    CTerminalLoadProgress(const CTerminalLoadProgress&) = delete;
    CTerminalLoadProgress& operator=(const CTerminalLoadProgress&) = delete;

    void SetLegend(const QString& text) override;
    void SetRange(uint32_t max) override;
    void SetPos(uint32_t position) override;

    // The factory the bank table takes, writing to stream.
    static LoadProgressFactory Factory(QTextStream& stream, Erase erase);
    // The progress for a person watching standard error: none when it is not a terminal
    // (a pipe or a log), without escape codes where TERM says the terminal has none.
    static LoadProgressFactory ForStandardError();
    // No progress (nullopt) where the stream is not a terminal; TERM unset or "dumb"
    // means a terminal without escape codes.
    static std::optional<Erase> EraseFor(bool isTerminal, const QByteArray& term);

private:
    void Draw();

    QTextStream& m_stream;
    Erase m_erase;
    QString m_strLegend;
    uint32_t m_nMax = 0;
    uint32_t m_nPos = 0;
    qsizetype m_nWidth = 0;
};
