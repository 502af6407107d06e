#include "BankFileInfo.h"

#include "NativePath.h"
#include "SoundFontChunks.h"
#include "SoundFontPresets.h"
#include "Windows1252.h"

#include <QFile>

#include <array>

namespace {

constexpr qint64 NAME_OFFSET = 8;
constexpr qint64 NAME_SIZE = 8;
constexpr qint64 FIRST_LIST_OFFSET = 26;
// A record is the 2-byte program, the variation and 3 bytes the report does not use.
constexpr qint64 RECORD_SIZE = 6;
constexpr qint64 END_MARK_SIZE = 2;
// The SoundFont bank of drum kits.
constexpr int DRUM_KIT_BANK = 128;

} // namespace

bool CBankFileInfo::Read(const QString& path)
{
    Reset();
    // Only a regular file: opening a directory fails anyway, and a pipe would wait for
    // a writer that may never come.
    CSoundFontChunks soundFont;
    const QByteArray nativePath = CNativePath::Encode(path);
    if (soundFont.Read(nativePath.constData()) != CSoundFontChunks::Result::NotSoundFont) {
        // The font's own name is Windows-1252 text, a file name the file system's bytes.
        const std::string name = soundFont.BankName(nativePath.toStdString());
        return ReadSoundFont(path, soundFont.Name().empty() ? CNativePath::Decode(name)
                                                            : CWindows1252::Decode(name));
    }
    QFile file;
    if (!CNativePath::OpenRegular(path, file))
        return false;
    Read(file);
    return true;
}

void CBankFileInfo::Read(QIODevice& device)
{
    Reset();
    const QByteArray header = device.read(FIRST_LIST_OFFSET);
    const QByteArray name = header.mid(NAME_OFFSET, NAME_SIZE);
    const qsizetype nul = name.indexOf('\0');
    m_strName = CWindows1252::Decode(nul < 0 ? name : name.left(nul));
    if (header.size() == FIRST_LIST_OFFSET && ReadList(device, m_instruments))
        ReadList(device, m_drumKits);
}

bool CBankFileInfo::ReadSoundFont(const QString& path, const QString& name)
{
    std::vector<SoundFontPreset> presets;
    if (!CSoundFontPresets::Read(path, presets))
        return false;
    m_strName = name;
    for (const SoundFontPreset& preset : presets) {
        const bool drumKit = preset.bank == DRUM_KIT_BANK;
        (drumKit ? m_drumKits : m_instruments)
            .push_back({static_cast<uint16_t>(preset.program),
                        static_cast<uint16_t>(drumKit ? 0 : preset.bank), preset.name});
    }
    return true;
}

void CBankFileInfo::Reset()
{
    m_strName.clear();
    m_instruments.clear();
    m_drumKits.clear();
}

BankProgramEntry CBankFileInfo::At(const std::vector<BankProgramEntry>& list, int index)
{
    return index >= 0 && static_cast<std::size_t>(index) < list.size() ? list[index]
                                                                       : BankProgramEntry{};
}

// Appends the records up to the list's FF FF end mark and leaves the device just after
// it. Looking at the first two bytes of a record before reading the rest finds the end
// mark also when the file ends right after it. False when the file ended first.
bool CBankFileInfo::ReadList(QIODevice& device, std::vector<BankProgramEntry>& list)
{
    std::array<unsigned char, RECORD_SIZE> record{};
    auto* bytes = reinterpret_cast<char*>(record.data());
    for (;;) {
        if (device.read(bytes, END_MARK_SIZE) != END_MARK_SIZE)
            return false;
        if (record[0] == 0xFF && record[1] == 0xFF)
            return true;
        const qint64 rest = RECORD_SIZE - END_MARK_SIZE;
        if (device.read(bytes + END_MARK_SIZE, rest) != rest)
            return false;
        list.push_back({static_cast<uint16_t>(record[0] | record[1] << 8), record[2], {}});
    }
}
