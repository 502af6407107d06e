#include "TempDir.h"

#include "BankFileWriter.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <stdlib.h>

CTempDir::CTempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "korvane-card-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary directory");
    }
    m_path = pattern;
}

CTempDir::~CTempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string CTempDir::Path(const std::string& name) const
{
    return m_path + "/" + name;
}

std::string CTempDir::WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) const
{
    std::ofstream out(Path(name), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
        throw std::runtime_error("cannot write " + Path(name));
    }
    return Path(name);
}

std::string CTempDir::WriteBank(const std::string& name, const std::string& bankName,
                                uint64_t size) const
{
    CBankFileWriter writer(bankName);
    writer.AddInstrument(0, 0);
    writer.AddDrumKit(0, 127);
    writer.SetSize(size);
    std::string error;
    if (!writer.Write(Path(name), &error)) {
        throw std::runtime_error(error);
    }
    return Path(name);
}

std::vector<uint8_t> CTempDir::ReadBytes(const std::string& name) const
{
    std::ifstream in(Path(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> CTempDir::Entries() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_path)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}
