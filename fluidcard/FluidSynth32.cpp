// The server card's exported C entry points: the card from the environment's settings.
#include "FluidSettings.h"

namespace {

using ExportedCard = CFluidCard;

ExportedCard CardFromEnvironment()
{
    return CFluidCard(CFluidCard::Store(CFluidSettings::StatePath(), CFluidState()),
                      CFluidSettings::FromEnvironment());
}

} // namespace

#include "SynthExports.h"
