#include "AuditionOutput.h"

#include "NativePath.h"
#include "StringTable.h"

namespace {
constexpr int IDS_AUDITION_NO_PRESET = 1095;
} // namespace

CAuditionOutput::~CAuditionOutput() = default;

QString CAuditionOutput::NoPresetText(const AuditionPlan& plan)
{
    return CStringTable::Load(IDS_AUDITION_NO_PRESET)
        .arg(CNativePath::Display(plan.soundFont))
        .arg(plan.bank)
        .arg(plan.program);
}
