#include "SequencerService.h"

CSequencerService::~CSequencerService() = default;
