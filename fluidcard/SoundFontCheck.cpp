#include "SoundFontCheck.h"

#include "PosixFile.h"
#include "SoundFontChunks.h"
#include "synth32.h"

#include <algorithm>

namespace {

constexpr std::size_t MAX_NAME_BYTES = 15;

} // namespace

uint16_t CSoundFontCheck::Check(const char* path)
{
    m_name.clear();
    m_sampleSize = 0;
    if (path == nullptr) {
        return SYNTHERR_FILENOTFOUND;
    }
    off_t fileSize = 0;
    const CPosixFile file = CPosixFile::OpenRegularFile(path, fileSize);
    if (!file.IsOpen()) {
        return SYNTHERR_FILENOTFOUND;
    }
    CSoundFontChunks chunks;
    if (chunks.Read(file, fileSize) != CSoundFontChunks::Result::Read) {
        return SYNTHERR_INVCOM;
    }
    m_sampleSize = chunks.MemorySize(fileSize);
    m_name = chunks.BankName(path);
    m_name.resize(std::min(m_name.size(), MAX_NAME_BYTES));
    return SYNTH_OK;
}
