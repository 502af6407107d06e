// Feeds arbitrary bytes to the card's bank-file check as a bank file: a bank file it accepts
// must hold both lists within its bytes, and the name it takes must be the header's; a
// SoundFont it accepts takes no more memory than its bytes.
#include "BankFileCheck.h"
#include "synth32.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// One in-memory file for the whole run, rewritten for each input.
int MemoryFile()
{
    static const int fd = ::memfd_create("bank", MFD_CLOEXEC);
    return fd;
}

bool Rewrite(int fd, const uint8_t* data, size_t size)
{
    return ::ftruncate(fd, 0) == 0 && ::pwrite(fd, data, size, 0) == static_cast<ssize_t>(size);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const int fd = MemoryFile();
    if (fd < 0 || !Rewrite(fd, data, size))
        std::abort();
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    CBankFileCheck check;
    const uint16_t result = check.Check(path.c_str());
    if (result == SYNTHERR_INVCOM && check.Size() == 0)
        return 0;
    // The size check refuses the same file as soon as it does not fit.
    if (result == SYNTH_OK && check.Size() > 0 &&
        CBankFileCheck().Check(path.c_str(), check.Size() - 1) != SYNTHERR_OUTOFMEM)
        std::abort();
    if (size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "sfbk", 4) == 0) {
        if (result != SYNTH_OK || check.Size() > size)
            std::abort();
        return 0;
    }
    // Two terminators at least, after the header.
    if (result != SYNTH_OK || check.Size() != size || size < CBankFileCheck::FIRST_LIST_OFFSET + 4)
        std::abort();
    const std::string& name = check.Name();
    if (name.size() > CBankFileCheck::NAME_SIZE || name.find('\0') != std::string::npos ||
        std::memcmp(name.data(), data + CBankFileCheck::NAME_OFFSET, name.size()) != 0)
        std::abort();
    return 0;
}
