#include "FluidSynthLog.h"

#include "FluidSynthApi.h"

#include <QMutex>
#include <QStringList>
#include <QTextStream>

namespace {

// The last messages only: a window left open for days plays many files.
constexpr qsizetype kMaxHeld = 64;

struct HeldMessages
{
    QMutex mutex;
    QStringList lines;
};

HeldMessages& Held()
{
    static HeldMessages held;
    return held;
}

const char* LevelPrefix(int level)
{
    switch (level) {
    case FLUID_PANIC:
        return "panic: ";
    case FLUID_ERR:
        return "error: ";
    case FLUID_WARN:
        return "warning: ";
    case FLUID_DBG:
        return "debug: ";
    default:
        return "";
    }
}

// The line as the library itself would write it.
QString Line(int level, const char* message)
{
    return QStringLiteral("fluidsynth: ") + QLatin1StringView(LevelPrefix(level)) +
           QString::fromLocal8Bit(message);
}

// Called from any thread, the audio threads included.
extern "C" void HoldMessage(int level, const char* message, void*)
{
    HeldMessages& held = Held();
    const QMutexLocker lock(&held.mutex);
    if (held.lines.size() == kMaxHeld)
        held.lines.removeFirst();
    held.lines << Line(level, message);
}

} // namespace

void CFluidSynthLog::Install(const CFluidSynthApi& api)
{
    for (const int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
        api.fluid_set_log_function(level, HoldMessage, nullptr);
}

void CFluidSynthLog::WriteHeld(QTextStream& stream)
{
    HeldMessages& held = Held();
    const QMutexLocker lock(&held.mutex);
    for (const QString& line : std::as_const(held.lines))
        stream << line << '\n';
    stream.flush();
    held.lines.clear();
}
