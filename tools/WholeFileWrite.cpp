#include "WholeFileWrite.h"

#include "AtomicFileWriter.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
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
    CAtomicFileWriter writer(path);
    const int fd = writer.Open();
    if (fd < 0) {
        return SystemError("cannot create a file beside", path, writer.Error());
    }
    // The stream closes a copy of the descriptor: the writer keeps its own until the rename.
    const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    std::FILE* file = copy >= 0 ? ::fdopen(copy, "wb") : nullptr;
    if (file == nullptr) {
        const int cause = errno;
        if (copy >= 0) {
            ::close(copy);
        }
        return SystemError("cannot write", path, cause);
    }
    bool done = writeContents(file);
    int cause = errno;
    if (std::fclose(file) != 0 && done) {
        done = false;
        cause = errno;
    }
    if (done && !writer.Commit()) {
        done = false;
        cause = writer.Error();
    }
    return done ? std::string() : SystemError("cannot write", path, cause);
}
