// A fresh directory under the system's temporary directory for one test, removed with
// everything in it; with helpers to put bank files and raw bytes in it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CTempDir
{
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    std::string Path(const std::string& name) const;
    // Each returns the file's path.
    std::string WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) const;
    std::string WriteBank(const std::string& name, const std::string& bankName,
                          uint64_t size) const;

    std::vector<uint8_t> ReadBytes(const std::string& name) const;
    // The names in the directory, sorted.
    std::vector<std::string> Entries() const;

private:
    std::string m_path;
};
