#include "SoundFontChunks.h"

#include "PosixFile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

constexpr uint64_t HEADER_SIZE = 8;
constexpr uint64_t FORM_SIZE = 12;

bool IsId(const uint8_t* bytes, const char* id)
{
    return std::memcmp(bytes, id, 4) == 0;
}

uint32_t Little32(const uint8_t* bytes)
{
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

} // namespace

// A chunk's header: its id, where its data start and how long they are.
struct CSoundFontChunks::Chunk
{
    std::array<uint8_t, 4> id{};
    uint64_t data = 0;
    uint64_t size = 0;

    // Where the next chunk starts: data are padded to an even size.
    uint64_t Next() const { return data + size + (size & 1); }
};

CSoundFontChunks::Result CSoundFontChunks::Read(const char* path)
{
    off_t size = 0;
    const CPosixFile file = CPosixFile::OpenRegularFile(path, size);
    if (!file.IsOpen())
        return Result::NotSoundFont;
    return Read(file, size);
}

std::string CSoundFontChunks::BankName(std::string_view path) const
{
    return m_name.empty() ? std::filesystem::path(path).stem().string() : m_name;
}

uint64_t CSoundFontChunks::MemorySize(off_t fileSize) const
{
    constexpr uint16_t COMPRESSED_VERSION = 3;
    return m_majorVersion >= COMPRESSED_VERSION ? static_cast<uint64_t>(fileSize)
                                                : m_sampleDataSize;
}

CSoundFontChunks::Result CSoundFontChunks::Read(const CPosixFile& file, off_t fileSize)
{
    *this = CSoundFontChunks();
    std::array<uint8_t, FORM_SIZE> form{};
    if (fileSize < static_cast<off_t>(FORM_SIZE) || file.ReadAt(form, 0) != FORM_SIZE ||
        !IsId(form.data(), "RIFF") || !IsId(form.data() + 8, "sfbk"))
        return Result::NotSoundFont;
    // The form ends where its size says, or at the end of a file cut short.
    const uint64_t end = std::min<uint64_t>(static_cast<uint64_t>(fileSize),
                                            HEADER_SIZE + Little32(form.data() + 4));
    Chunk chunk;
    for (uint64_t offset = FORM_SIZE; ReadChunk(file, offset, end, chunk); offset = chunk.Next()) {
        if (IsId(chunk.id.data(), "LIST"))
            ReadList(file, chunk, end);
    }
    return m_hasSampleData ? Result::Read : Result::Broken;
}

// False at the end of the enclosing chunk, or when a header does not fit before it.
bool CSoundFontChunks::ReadChunk(const CPosixFile& file, uint64_t offset, uint64_t end,
                                 Chunk& chunk) const
{
    std::array<uint8_t, HEADER_SIZE> header{};
    if (offset + HEADER_SIZE > end ||
        file.ReadAt(header, static_cast<off_t>(offset)) != static_cast<ssize_t>(HEADER_SIZE))
        return false;
    std::copy_n(header.begin(), 4, chunk.id.begin());
    chunk.data = offset + HEADER_SIZE;
    chunk.size = Little32(header.data() + 4);
    return true;
}

// The INFO list gives the version and the name, the sdta list the sample data.
void CSoundFontChunks::ReadList(const CPosixFile& file, const Chunk& list, uint64_t end)
{
    std::array<uint8_t, 4> type{};
    if (list.size < type.size() || file.ReadAt(type, static_cast<off_t>(list.data)) != 4)
        return;
    const bool info = IsId(type.data(), "INFO");
    if (!info && !IsId(type.data(), "sdta"))
        return;
    const uint64_t listEnd = std::min(end, list.data + list.size);
    Chunk chunk;
    for (uint64_t offset = list.data + type.size(); ReadChunk(file, offset, listEnd, chunk);
         offset = chunk.Next()) {
        if (info) {
            chunk.size = std::min(chunk.size, listEnd - chunk.data);
            ReadInfo(file, chunk);
        } else if (IsId(chunk.id.data(), "smpl") && chunk.data + chunk.size <= listEnd) {
            m_sampleDataSize = chunk.size;
            m_hasSampleData = true;
        }
    }
}

void CSoundFontChunks::ReadInfo(const CPosixFile& file, const Chunk& chunk)
{
    if (IsId(chunk.id.data(), "ifil")) {
        std::array<uint8_t, 2> version{};
        if (chunk.size >= 4 && file.ReadAt(version, static_cast<off_t>(chunk.data)) == 2)
            m_majorVersion = static_cast<uint16_t>(version[0] | version[1] << 8);
    } else if (IsId(chunk.id.data(), "INAM")) {
        std::vector<uint8_t> name(std::min<uint64_t>(chunk.size, MAX_NAME_SIZE));
        const ssize_t got = file.ReadAt(name, static_cast<off_t>(chunk.data));
        name.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        m_name.assign(name.begin(), std::find(name.begin(), name.end(), uint8_t{0}));
    }
}
