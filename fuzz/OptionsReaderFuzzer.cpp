// Feeds arbitrary bytes to the options as an options file: a file they refuse must leave
// the defaults, and options they accept must write out and read back the same.
#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "Options.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

bool Same(const COptions& a, const COptions& b)
{
    return a.GetStartupPreset() == b.GetStartupPreset() && a.GetDisplay() == b.GetDisplay() &&
           a.GetMidiFile() == b.GetMidiFile();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    COptions options;
    CArchiveReader ar(file);
    options.Serialize(ar);
    if (!ar.Ok()) {
        if (!Same(options, COptions{}))
            std::abort();
        return 0;
    }
    if (options.GetDisplay() > COptions::DisplayTrayIcon)
        std::abort();

    QByteArray written;
    QBuffer out(&written);
    out.open(QIODevice::WriteOnly);
    CArchiveWriter writer(out);
    options.Serialize(writer);
    out.close();
    out.open(QIODevice::ReadOnly);
    CArchiveReader again(out);
    COptions reread;
    reread.Serialize(again);
    if (!again.Ok() || !Same(options, reread))
        std::abort();
    return 0;
}
