// Writes bank files (*.94b) for demos and test fixtures: the name, the instrument and
// drum-kit lists, and padding up to a chosen size that stands for the sample data.
//
// Layout, little-endian: bytes 0..7 zero; the name at offset 8 (8 bytes, NUL-padded);
// a 16-bit zero and 8 zero bytes up to offset 26; the instrument records (6 bytes each:
// program, variation, 3 zero bytes), FF FF; the drum-kit records, FF FF; zero padding.
#pragma once

#include "BankProgram.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CBankFileWriter
{
public:
    static constexpr std::size_t NAME_OFFSET = 8;
    static constexpr std::size_t MAX_NAME_LENGTH = 8;
    static constexpr std::size_t FIRST_LIST_OFFSET = 26;
    static constexpr std::size_t RECORD_SIZE = 6;
    static constexpr std::size_t TERMINATOR_SIZE = 2;
    static constexpr uint16_t END_OF_LIST = 0xFFFF;

    CBankFileWriter() = default;
    explicit CBankFileWriter(std::string name) : m_name(std::move(name)) {}

    // At most MAX_NAME_LENGTH bytes; checked by Write.
    void SetName(std::string name) { m_name = std::move(name); }
    void AddInstrument(uint16_t program, uint8_t variation);
    void AddDrumKit(uint16_t program, uint8_t variation);
    // The whole file's size in bytes; 0 (the default) writes just the header and lists.
    void SetSize(uint64_t size) { m_size = size; }

    const std::string& Name() const { return m_name; }
    const std::vector<BankProgram>& Instruments() const { return m_instruments; }
    const std::vector<BankProgram>& DrumKits() const { return m_drumKits; }
    // The size the file will have.
    uint64_t Size() const;
    // The smallest file that holds the header and both lists.
    uint64_t MinimumSize() const;

    // Why the contents cannot be written (name too long, a reserved program number, a size
    // too small for the lists); empty when they can.
    std::string Problem() const;

    // Checks the contents, then writes the file whole: into a temporary file beside path,
    // renamed over path once complete, so that path never holds a partial bank. On
    // failure nothing is left behind and *error (when given) says why.
    bool Write(const std::string& path, std::string* error = nullptr) const;

private:
    std::string WriteWhole(const std::string& path) const;
    std::vector<uint8_t> HeaderAndLists() const;

    std::string m_name;
    std::vector<BankProgram> m_instruments;
    std::vector<BankProgram> m_drumKits;
    uint64_t m_size = 0;
};
