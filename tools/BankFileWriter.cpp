#include "BankFileWriter.h"
#include "WholeFileWrite.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

void PutRecord(std::vector<uint8_t>& bytes, const BankProgram& entry)
{
    bytes.push_back(static_cast<uint8_t>(entry.program));
    bytes.push_back(static_cast<uint8_t>(entry.program >> 8));
    bytes.push_back(entry.variation);
    bytes.insert(bytes.end(), 3, 0);
}

void PutList(std::vector<uint8_t>& bytes, const std::vector<BankProgram>& list)
{
    for (const BankProgram& entry : list) {
        PutRecord(bytes, entry);
    }
    bytes.push_back(0xFF);
    bytes.push_back(0xFF);
}

bool HasEndMark(const std::vector<BankProgram>& list)
{
    return std::any_of(list.begin(), list.end(), [](const BankProgram& entry) {
        return entry.program == CBankFileWriter::END_OF_LIST;
    });
}

// Writes bytes, then zeros up to size.
bool WriteContents(std::FILE* file, const std::vector<uint8_t>& bytes, uint64_t size)
{
    if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        return false;
    }
    static const std::array<uint8_t, 65536> zeros{};
    for (uint64_t left = size - bytes.size(); left > 0;) {
        const std::size_t chunk = static_cast<std::size_t>(std::min<uint64_t>(left, zeros.size()));
        if (std::fwrite(zeros.data(), 1, chunk, file) != chunk) {
            return false;
        }
        left -= chunk;
    }
    return true;
}

} // namespace

void CBankFileWriter::AddInstrument(uint16_t program, uint8_t variation)
{
    m_instruments.push_back({program, variation});
}

void CBankFileWriter::AddDrumKit(uint16_t program, uint8_t variation)
{
    m_drumKits.push_back({program, variation});
}

uint64_t CBankFileWriter::Size() const
{
    return m_size == 0 ? MinimumSize() : m_size;
}

uint64_t CBankFileWriter::MinimumSize() const
{
    return FIRST_LIST_OFFSET + RECORD_SIZE * (m_instruments.size() + m_drumKits.size()) +
           2 * TERMINATOR_SIZE;
}

bool CBankFileWriter::Write(const std::string& path, std::string* error) const
{
    std::string problem = Problem();
    if (problem.empty()) {
        problem = WriteWhole(path);
    }
    if (error != nullptr) {
        *error = problem;
    }
    return problem.empty();
}

std::string CBankFileWriter::Problem() const
{
    if (m_name.size() > MAX_NAME_LENGTH) {
        return "the bank name \"" + m_name + "\" is longer than 8 bytes";
    }
    if (HasEndMark(m_instruments) || HasEndMark(m_drumKits)) {
        return "program 65535 cannot be stored: it marks the end of a list";
    }
    if (m_size != 0 && m_size < MinimumSize()) {
        return "a size of " + std::to_string(m_size) + " bytes cannot hold the lists (at least " +
               std::to_string(MinimumSize()) + " bytes are needed)";
    }
    return {};
}

std::vector<uint8_t> CBankFileWriter::HeaderAndLists() const
{
    std::vector<uint8_t> bytes(FIRST_LIST_OFFSET, 0);
    std::copy(m_name.begin(), m_name.end(), bytes.begin() + NAME_OFFSET);
    PutList(bytes, m_instruments);
    PutList(bytes, m_drumKits);
    return bytes;
}

std::string CBankFileWriter::WriteWhole(const std::string& path) const
{
    return WriteWholeFile(
        path, [this](std::FILE* file) { return WriteContents(file, HeaderAndLists(), Size()); });
}
