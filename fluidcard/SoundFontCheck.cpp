#include "SoundFontCheck.h"

#include "LittleEndian.h"
#include "PosixFile.h"
#include "synth32.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>

namespace {

constexpr off_t RIFF_HEADER_SIZE = 12; // "RIFF", size, "sfbk"
constexpr off_t CHUNK_HEADER_SIZE = 8; // id, size
constexpr off_t LIST_TYPE_SIZE = 4;
constexpr std::size_t MAX_NAME_BYTES = 15;

bool IsCompressedFont(const char* path)
{
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".sf3";
}

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
    std::array<uint8_t, RIFF_HEADER_SIZE> header{};
    if (file.ReadAt(header, 0) != RIFF_HEADER_SIZE || std::memcmp(header.data(), "RIFF", 4) != 0 ||
        std::memcmp(header.data() + 8, "sfbk", 4) != 0) {
        return SYNTHERR_INVCOM;
    }
    // A RIFF size that overstates the file is common in the wild: the file's end wins.
    const off_t end = std::min<off_t>(fileSize, CHUNK_HEADER_SIZE + GetU32(header, 4));
    if (IsCompressedFont(path)) {
        m_sampleSize = static_cast<uint64_t>(fileSize);
    } else {
        Chunk list{}, samples{};
        if (!FindList(file, end, "sdta", list) ||
            !FindChunk(file, list.data + LIST_TYPE_SIZE, list.data + list.size, "smpl", samples)) {
            return SYNTHERR_INVCOM;
        }
        m_sampleSize = samples.size;
    }
    ReadName(file, end);
    if (m_name.empty()) {
        m_name = std::filesystem::path(path).stem().string().substr(0, MAX_NAME_BYTES);
    }
    return SYNTH_OK;
}

bool CSoundFontCheck::ReadChunk(const CPosixFile& file, off_t position, off_t end, Chunk& chunk)
{
    std::array<uint8_t, CHUNK_HEADER_SIZE> header{};
    if (position + CHUNK_HEADER_SIZE > end || file.ReadAt(header, position) != CHUNK_HEADER_SIZE) {
        return false;
    }
    std::memcpy(chunk.id, header.data(), sizeof chunk.id);
    chunk.data = position + CHUNK_HEADER_SIZE;
    chunk.size = GetU32(header, 4);
    return chunk.data + static_cast<off_t>(chunk.size) <= end;
}

bool CSoundFontCheck::FindChunk(const CPosixFile& file, off_t begin, off_t end, const char* id,
                                Chunk& found)
{
    Chunk chunk{};
    for (off_t position = begin; ReadChunk(file, position, end, chunk);
         // Chunks start at even offsets: an odd-sized one is followed by a pad byte.
         position = chunk.data + static_cast<off_t>(chunk.size) + (chunk.size & 1U)) {
        if (std::memcmp(chunk.id, id, sizeof chunk.id) == 0) {
            found = chunk;
            return true;
        }
    }
    return false;
}

bool CSoundFontCheck::FindList(const CPosixFile& file, off_t end, const char* type, Chunk& found)
{
    Chunk chunk{};
    std::array<uint8_t, LIST_TYPE_SIZE> listType{};
    for (off_t position = RIFF_HEADER_SIZE; ReadChunk(file, position, end, chunk);
         position = chunk.data + static_cast<off_t>(chunk.size) + (chunk.size & 1U)) {
        if (std::memcmp(chunk.id, "LIST", 4) == 0 && chunk.size >= LIST_TYPE_SIZE &&
            file.ReadAt(listType, chunk.data) == LIST_TYPE_SIZE &&
            std::memcmp(listType.data(), type, LIST_TYPE_SIZE) == 0) {
            found = chunk;
            return true;
        }
    }
    return false;
}

void CSoundFontCheck::ReadName(const CPosixFile& file, off_t end)
{
    Chunk list{}, name{};
    std::array<uint8_t, MAX_NAME_BYTES> text{};
    if (!FindList(file, end, "INFO", list) ||
        !FindChunk(file, list.data + LIST_TYPE_SIZE, list.data + list.size, "INAM", name)) {
        return;
    }
    const std::size_t length = std::min<std::size_t>(name.size, text.size());
    if (file.ReadAt(std::span(text.data(), length), name.data) != static_cast<ssize_t>(length)) {
        return;
    }
    m_name.assign(reinterpret_cast<const char*>(text.data()),
                  std::find(text.begin(), text.begin() + length, 0) - text.begin());
}
