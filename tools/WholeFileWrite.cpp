#include "WholeFileWrite.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string SystemError(const std::string& what, const std::string& path, int cause)
{
    return what + " " + path + ": " + std::strerror(cause);
}

} // namespace

std::string WriteWholeFile(const std::string& path,
                           const std::function<bool(std::FILE*)>& writeContents)
{
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return SystemError("cannot create a file beside", path, errno);
    }
    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        const int cause = errno;
        ::close(fd);
        ::unlink(temporary.c_str());
        return SystemError("cannot write", path, cause);
    }
    // mkostemp creates the file for its owner only; what we write are ordinary documents.
    bool done = ::fchmod(fd, 0644) == 0 && writeContents(file) && std::fflush(file) == 0 &&
                ::fsync(fd) == 0;
    int cause = errno;
    if (std::fclose(file) != 0 && done) {
        done = false;
        cause = errno;
    }
    if (done && ::rename(temporary.c_str(), path.c_str()) != 0) {
        done = false;
        cause = errno;
    }
    if (!done) {
        ::unlink(temporary.c_str());
        return SystemError("cannot write", path, cause);
    }
    return {};
}
