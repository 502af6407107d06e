// A card kept in a temporary directory with a bank table over it, and helpers to make
// bank files and templates there and to read the reports written from them.
#pragma once

#include "BankTable.h"
#include "QtPrinters.h"
#include "RecordingMessageBox.h"
#include "SharedSynthLibrary.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

// A program record as the tests write it: program, variation.
using Program = std::pair<uint16_t, uint8_t>;

class ReportTest : public ::testing::Test
{
protected:
    void SetUp() override;

    // Writes a bank file named fileName holding the name and lists; returns its path.
    QString MakeBank(const QString& fileName, const std::string& bankName,
                     const std::vector<Program>& instruments,
                     const std::vector<Program>& drumKits = {});
    // Makes the bank file and loads it into the card through the table.
    QString LoadBank(const QString& fileName, const std::string& bankName,
                     const std::vector<Program>& instruments,
                     const std::vector<Program>& drumKits = {});
    QString WriteFile(const QString& name, const QByteArray& bytes);
    QString WriteTemplate(const QStringList& lines);

    // Generates the report of the template; the report's lines, which must each end in
    // a line break.
    QStringList Generate(const QStringList& templateLines);
    QStringList ReadReport(const QString& path);

    QTemporaryDir m_dir;
    std::unique_ptr<CSharedSynthLibrary> m_card;
    std::unique_ptr<CBankTable> m_table;
    CRecordingMessageBox m_messages;
};
