#pragma once

#include "engine/steps.h"

#include <QList>

// Every kind of step a scenario may take, each declared once with its fields, its help, what the
// recorder writes it for, and the function that takes it.
const QList<StepDef> &stepDefs();
