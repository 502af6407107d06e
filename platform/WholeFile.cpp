#include "WholeFile.h"

#include "AtomicFileWriter.h"
#include "NativePath.h"

#include <QFile>

#include <cstring>

bool CWholeFile::Write(const QString& path, const std::function<bool(QIODevice&)>& write,
                       QString* error)
{
    QString problem;
    const QString target = CNativePath::WriteTarget(path, problem);
    if (target.isNull()) {
        if (error)
            *error = problem;
        return false;
    }
    CAtomicFileWriter writer(CNativePath::Encode(target).toStdString());
    const int fd = writer.Open();
    QFile file;
    if (fd >= 0 && file.open(fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
        if (write(file) && file.flush() && writer.Commit())
            return true;
    }
    if (error) {
        *error = file.error() != QFileDevice::NoError
                     ? file.errorString()
                     : QString::fromLocal8Bit(std::strerror(writer.Error()));
    }
    return false;
}
