#include "PresetLoadProgress.h"

LoadProgressFactory CPresetLoadProgress::Factory()
{
    return [](QWidget* owner) { return std::make_unique<CPresetLoadProgress>(owner); };
}
