// The simulated card's exported C entry points: the card from the environment's settings,
// and the file check of its loads.
#include "BankFileCheck.h"
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

uint16_t SynthCheckBank(const char* path)
{
    try {
        return CBankFileCheck().Check(path);
    } catch (...) {
        return SYNTHERR_ABORT;
    }
}
