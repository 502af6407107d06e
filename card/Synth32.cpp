// The simulated card's exported C entry points: the card from the environment's settings.
#include "CardSettings.h"
#include "SynthCard.h"

namespace {

using ExportedCard = CSynthCard;

ExportedCard CardFromEnvironment()
{
    return CSynthCard(CCardStore(CCardSettings::StatePath(), CCardSettings::NewCardMemory()));
}

} // namespace

#include "SynthExports.h"
