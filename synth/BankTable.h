// The program's view of the banks in the card's sample memory: every change to the
// card goes through it, and after each one it re-reads the card's whole status.
#pragma once

#include "LoadProgress.h"
#include "SynthLibrary.h"
#include "SynthStatus.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

class CArchiveReader;
class CArchiveWriter;
class QWidget;

class CBankTable
{
public:
    explicit CBankTable(SynthLibrary& library);

    // The window a preset load shows its progress in; without one it shows nothing.
    void SetLoadProgress(LoadProgressFactory factory) { m_loadProgress = std::move(factory); }
    // How the pause at the end of a preset load waits; the program really sleeps.
    void SetSleep(std::function<void(int milliseconds)> sleep) { m_sleep = std::move(sleep); }

    // Stores the owner and reads the card's status; shows the error itself on failure. A
    // card that lists 8 banks and holds more (SYNTHERR_INVCOUNT) is no failure.
    bool Init(QWidget* owner);

    // 0..16: the new bank's ID; above 16: 16 + status code.
    uint16_t LoadBank(const QString& longPath);
    uint16_t UnloadBank(uint16_t id);
    // Status code of the first failure, else 0.
    uint16_t UnloadAllBanks();
    uint16_t SetBankPriority(uint16_t id, int32_t priority);
    uint16_t RefreshStatus();
    // After a switch to another card: no bank of that card was loaded through this table.
    void ForgetBankPaths();
    // Reads the card's status again, for a card that another program may change: true
    // when it differs from the last one read. A slot that now holds another bank forgets
    // the file it was loaded from. A failed read keeps the last status.
    bool FollowCard();
    // FollowCard with a status that was read elsewhere (ReadStatus), such as on another
    // thread.
    bool FollowStatus(const SynthStatus& status);
    // The card's status as RefreshStatus reads it, into status; touches no table, so it
    // may run on any thread.
    static uint16_t ReadStatus(SynthLibrary& library, SynthStatus& status);
    // How many times the table has read the card's status itself: a status read elsewhere
    // before the last of these may be older than the one the table holds.
    uint64_t StatusReads() const { return m_statusReads; }

    // The bank IDs of the last status in the order the card's synthesizer searches them for
    // a program, so the first that holds a bank:program answers it: the card's own order
    // when it tells it; else by priority, higher first, and of equal priorities the lower
    // ID first.
    std::vector<uint16_t> SearchOrder() const;

    uint32_t GetUsedMemory() const;
    // The name the card gives the bank in that position, read as Windows-1252.
    QString GetBankName(uint16_t position) const;
    // The file the bank was loaded from here, else the one the card knows, else nothing.
    QString GetBankPath(uint16_t id) const;
    // The file the card itself says it holds the bank from; empty when it does not say.
    QString GetCardBankPath(uint16_t id) const { return m_library.BankPath(id); }
    // Records the file of a bank that was in the card before this table saw it, when the
    // file is known from elsewhere; the modified mark stays as it is.
    void SetBankPath(uint16_t id, const QString& path);
    QString GetPresetName() const;
    QString GetPresetPath() const { return m_presetPath; }

    // Reads the whole preset file and asks the card whether it could load each bank file the
    // preset names, then unloads every bank and loads the preset's banks with their
    // priorities. False, after its message, when the file cannot be opened or is not a valid
    // preset, when the card could not load one of its bank files (the message names the
    // first), or when a bank cannot be unloaded: then the card and the current preset stay as
    // they were (but for the banks unloaded before the refusal). A bank that the card refuses
    // only at its load is reported and skipped. When opened is given it tells whether the
    // file could be opened at all.
    bool LoadPreset(const QString& path, bool* opened = nullptr);
    // Writes the banks in memory to path, or with no path to the current preset file.
    // False when there is no preset file to write to, or, after its message, when the file
    // could not be written: the current preset and the modified mark then stay.
    bool SavePreset(const QString& path = QString());
    // Starts a new, untitled preset with no bank in memory; false when a bank could not be
    // unloaded.
    bool NewPreset();
    void SerializePreset(CArchiveWriter& ar) const;
    // Reads a preset into the image and the preset's paths, or, when the archive turns out
    // bad or holds more than a preset, changes nothing.
    void SerializePreset(CArchiveReader& ar);
    const SynthStatus& PresetImage() const { return m_presetImage; }

    const SynthStatus& Status() const { return m_status; }
    // Why count more banks cannot be loaded: the card has no slots left for them (a ninth
    // bank). Told before the card is asked, by the window and the command line alike;
    // empty when they fit.
    QString RefusalToLoad(qsizetype count) const;
    // Whether the last status was read from the card: false after a read that failed, when
    // the status shows no bank although the card may well hold some. A card that lists more
    // banks than the table holds was still read.
    bool StatusRead() const { return m_statusCode == 0 || m_statusCode == SYNTHERR_INVCOUNT; }
    QWidget* Owner() const { return m_pOwner; }
    bool IsModified() const { return m_bModified != 0; }

    // The one routine for error and warning boxes: library status codes, the
    // missing-preset code, or the id of one of the program's own texts.
    static void ShowError(int code, const QString& text = QString());
    // What ShowError adds to the text of a library status code, such as where the card's
    // server was looked for; nothing when unset.
    static void SetStatusDetail(std::function<QString(int code)> detail);
    // The text ShowError shows for code when it is given none.
    static QString ErrorText(int code);

    // Shown when a preset file cannot be opened.
    static constexpr int ERR_PRESET_NOT_FOUND = 0x0BEDCAFE;

private:
    void ClearPath(uint16_t id);
    bool HasPresetFile() const;
    std::array<QString, MAX_BANKS> TakePresetPaths();
    bool CanLoadPresetBanks(const std::array<QString, MAX_BANKS>& paths) const;
    void LoadPresetBanks(const std::array<QString, MAX_BANKS>& paths);
    void LoadPresetBank(uint32_t record, const QString& path, int32_t priority);

    SynthLibrary& m_library;
    QWidget* m_pOwner = nullptr;
    SynthStatus m_status{};
    uint16_t m_statusCode = SYNTHERR_NOTSUPPORTED;
    uint64_t m_statusReads = 0;
    std::array<QString, MAX_BANKS> m_bankPaths;
    // The banks of a preset file during its load: count, total memory, priorities, sizes.
    SynthStatus m_presetImage{};
    // The file of each of the preset's records, read with the image.
    std::array<QString, MAX_BANKS> m_presetPaths;
    QString m_presetPath;
    int m_bNewPreset = 0;
    int m_bModified = 0;
    LoadProgressFactory m_loadProgress;
    std::function<void(int milliseconds)> m_sleep;
};
