// Ends a program at its first paint, after writing "painted" and whether FluidSynth is
// mapped into it, for the start-up benchmark that runs it.
#pragma once

#include <QEvent>
#include <QFile>
#include <QObject>

#include <cstdio>
#include <unistd.h>

class CFirstPaintProbe : public QObject
{
public:
    static bool FluidSynthMapped()
    {
        QFile maps(QStringLiteral("/proc/self/maps"));
        return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libfluidsynth");
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            std::printf("painted fluidsynth=%d\n", FluidSynthMapped() ? 1 : 0);
            std::fflush(stdout);
            ::_exit(0);
        }
        return QObject::eventFilter(watched, event);
    }
};
