#include "SequencerAudioOutput.h"

CSequencerAudioOutput::~CSequencerAudioOutput() = default;
