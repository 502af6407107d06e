// Which card the program drives (the simulated card or a FluidSynth server) and the
// server's address and memory budget, kept in the program's settings file
// ($XDG_CONFIG_HOME/korvane/korvane.conf) apart from the options file, whose bytes stay
// as they are. The one place that decides which synth library the program loads.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

class CSharedSynthLibrary;

class CCardChoice
{
public:
    enum class Kind
    {
        Simulated,
        FluidSynth
    };

    static constexpr const char* DEFAULT_ADDRESS = "127.0.0.1:9800";
    static constexpr uint32_t DEFAULT_MEMORY_BUDGET = 1024U * 1024U * 1024U; // 1 GiB

    // The settings file in the user's configuration directory.
    static QString DefaultSettingsPath();

    explicit CCardChoice(QString settingsPath = DefaultSettingsPath());

    Kind CardKind() const;
    void SetCardKind(Kind kind);
    // "host:port"; a malformed stored value reads as the default.
    QString ServerAddress() const;
    // The address the server card's library really uses: the user's variable, else the
    // setting.
    QString AddressInUse() const;
    // False, changing nothing, for an address that is not "host:port" with a port 1..65535.
    bool SetServerAddress(const QString& address);
    // Bytes of SoundFont sample data the server card takes, 1..4294967295.
    uint32_t MemoryBudget() const;
    bool SetMemoryBudget(uint64_t bytes);

    static bool IsValidAddress(const QString& address);
    // Whether the library at path is the server card's.
    static bool IsServerLibrary(const QString& path);
    // Whether a card can be named for one run: "simulated", "fluidsynth", or a library's
    // path, which has a slash (so that a misspelt name is not taken for a library).
    static bool IsCardForThisRun(const QString& card);

    // KORVANE_SYNTH_LIBRARY when set, else the library in executableDir of the card named
    // for this run ("simulated", "fluidsynth", or any other text as a library's path) or,
    // when none is named, of the chosen card.
    QString LibraryPath(const QString& executableDir, const QString& cardForThisRun = {}) const;
    // The file whose changes tell of the card's changes: the simulated card's state file,
    // when that card is the one LibraryPath names. Empty for a card that cannot tell (the
    // server), which has to be asked.
    QString StateFileToWatch(const QString& cardForThisRun = {}) const;
    // Hands the server's address and budget to the FluidSynth library, which reads them
    // from the environment at every call. Variables the user set before the program
    // started win over the settings and are left alone.
    void ApplyToEnvironment() const;
    // Applies the choice and makes library the chosen card's (or the card named for this
    // run); false when it cannot be loaded (the library then says why). From then on the
    // bank table's messages of the card's errors carry StatusDetail.
    bool OpenLibrary(CSharedSynthLibrary& library, const QString& executableDir,
                     const QString& cardForThisRun = {}) const;

    // The kind of the card in use, the library opened last: the one named for the run (a
    // library named by its path is the server's when it is the server card's library), else
    // the chosen one.
    Kind KindInUse() const;
    // The Load dialog's default extension and filter for the bank files of the card in use.
    QString BankFileExtension() const;
    QString BankFileFilter() const;
    // What to add to the message of a library status code: what the card said of the
    // failure and, for the server card, when the server cannot be reached, where it was
    // looked for and how to start it.
    QString StatusDetail(int code) const;

private:
    // The card of LibraryPath: none for a library named by its path.
    std::optional<Kind> KindForRun(const QString& cardForThisRun) const;

    QString m_settingsPath;
};
