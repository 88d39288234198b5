#include "state/state.h"

State::State() = default;

State::~State() = default;
