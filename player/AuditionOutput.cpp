#include "AuditionOutput.h"

CAuditionOutput::~CAuditionOutput() = default;

int CAuditionOutput::Answering(const QStringList& holders)
{
    return holders.isEmpty() ? -1 : 0;
}
