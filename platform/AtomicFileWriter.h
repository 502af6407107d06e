// Writes a file whole or not at all, for every file the program and its card libraries write.
// The contents go to a temporary file beside the target ("<name>.krv-XXXXXX"), which is put
// on disk and renamed over the target, and then the directory is put on disk: whenever the
// writer stops, the target is the old file or the new one, never a mix.
//
// A writer holds a lock on its temporary file until the rename, so each write removes the
// temporaries of the same target that no writer holds: those of a writer that was killed.
// Plain C++ on POSIX calls: the card libraries use it and do not link Qt.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <sys/types.h>

class CAtomicFileWriter
{
public:
    // path is the file system's bytes. A file that is replaced keeps its permissions; a new
    // one gets newFileMode less the umask.
    explicit CAtomicFileWriter(std::string path, mode_t newFileMode = 0666);
    // Removes the temporary file when Commit() has not renamed it.
    ~CAtomicFileWriter();
    CAtomicFileWriter(const CAtomicFileWriter&) = delete;
    CAtomicFileWriter& operator=(const CAtomicFileWriter&) = delete;

    // Creates the temporary file and returns its descriptor, to be written but not closed;
    // -1 when it cannot be created (Error() says why).
    int Open();
    // Puts the temporary file on disk and renames it over the target. False when any step
    // fails: the target is then as it was and the temporary file is gone.
    bool Commit();
    // The errno value of the step that failed.
    int Error() const { return m_error; }

    // Open(), the bytes, Commit(); false with *error (when given) set as Error().
    static bool Write(const std::string& path, std::span<const uint8_t> bytes,
                      mode_t newFileMode = 0666, int* error = nullptr);

private:
    bool CreateLockedTemporary();
    void RemoveStaleTemporaries() const;
    bool Fail();
    void Discard();

    std::string m_path;
    mode_t m_newFileMode;
    std::string m_temporary;
    int m_fd = -1;
    int m_error = 0;
};
