// The program's view of the banks in the card's sample memory: every change to the
// card goes through it, and after each one it re-reads the card's whole status.
#pragma once

#include "SynthLibrary.h"
#include "SynthStatus.h"

#include <QString>

#include <array>
#include <cstdint>

class QWidget;

class CBankTable
{
public:
    explicit CBankTable(SynthLibrary& library);

    // Stores the owner and reads the card's status; shows the error itself on failure.
    bool Init(QWidget* owner);

    // 0..16: the new bank's ID; above 16: 16 + status code.
    uint16_t LoadBank(const QString& longPath);
    uint16_t UnloadBank(uint16_t id);
    // Status code of the first failure, else 0.
    uint16_t UnloadAllBanks();
    uint16_t SetBankPriority(uint16_t id, int32_t priority);
    uint16_t RefreshStatus();

    uint32_t GetUsedMemory() const;
    QString GetBankName(uint16_t position) const;
    QString GetBankPath(uint16_t id) const;
    QString GetPresetName() const;
    QString GetPresetPath() const { return m_presetPath; }

    const SynthStatus& Status() const { return m_status; }
    QWidget* Owner() const { return m_pOwner; }
    bool IsModified() const { return m_bModified != 0; }

    // The one routine for error and warning boxes: library status codes, the
    // missing-preset code, or the id of one of the program's own texts.
    static void ShowError(int code, const QString& text = QString());

    // Shown when a preset file cannot be opened.
    static constexpr int ERR_PRESET_NOT_FOUND = 0x0BEDCAFE;

private:
    void ClearPath(uint16_t id);

    SynthLibrary& m_library;
    QWidget* m_pOwner = nullptr;
    SynthStatus m_status{};
    std::array<QString, MAX_BANKS> m_bankPaths;
    QString m_presetPath;
    int m_bNewPreset = 0;
    int m_bModified = 0;
};
