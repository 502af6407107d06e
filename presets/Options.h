// The settings kept between runs: the preset to load at start-up, the display mode and
// the player's MIDI file, read from the options file at start-up and written at exit.
#pragma once

#include <QString>

#include <cstdint>

class CArchiveReader;
class CArchiveWriter;

class COptions
{
public:
    // Display modes.
    static constexpr uint32_t DisplayStandard = 0;
    static constexpr uint32_t DisplayTrayIcon = 1;

    // Reads the options file: for an installed program the one in the user's configuration
    // folder; otherwise the user's copy when there is one, else the one beside the program.
    // False when there is none to read: the fields keep their values. A damaged
    // file, or one that is not a regular file, is reported, leaves the fields as they were
    // and is written anew at exit, after it has been kept aside as "<file>.bad".
    bool Load();
    // Writes the options when they changed: to the file they were read from, or, when its
    // directory cannot be written, to the user's configuration folder. False, after a
    // message, when neither could be written.
    bool Save();
    void Serialize(CArchiveWriter& ar) const;
    // Reads the three fields, or, when the archive turns out bad, changes nothing.
    void Serialize(CArchiveReader& ar);

    QString GetStartupPreset() const { return m_strStartupPreset; }
    QString GetMidiFile() const { return m_strMidiPath; }
    uint32_t GetDisplay() const { return m_nDisplay; }
    QString GetFilePath() const { return m_strFilePath; }
    bool IsChanged() const { return m_bChanged != 0; }

    void SetStartupPreset(const QString& path);
    void SetDisplay(uint32_t display);
    void SetMidiFile(const QString& path);
    // Has the options written at exit although nothing changed, so that the file exists.
    void MarkChanged() { m_bChanged = 1; }

    // The options file beside the program, and the user's own copy.
    static QString ProgramFile();
    static QString UserFile();
    // Whether the program was installed into the system's folders (under /usr), rather
    // than run from a build tree or a copy the user unpacked.
    static bool IsInstalled();

private:
    static QString FileToRead();
    bool WriteTo(const QString& path, QString& error) const;
    void SetAsideDamaged() const;

    QString m_strStartupPreset;
    uint32_t m_nDisplay = DisplayStandard;
    QString m_strMidiPath;
    QString m_strFilePath;
    int m_bChanged = 0;
    // The file read was damaged and is still in place.
    bool m_bDamaged = false;
};
