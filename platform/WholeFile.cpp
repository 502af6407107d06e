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
        // A write callback that gives up leaves neither the file nor the system an error.
        if (file.error() != QFileDevice::NoError)
            *error = file.errorString();
        else if (writer.Error() != 0)
            *error = QString::fromLocal8Bit(std::strerror(writer.Error()));
        else
            *error = QStringLiteral("The file could not be written.");
    }
    return false;
}
