#pragma once

#include "engine/result.h"

#include <QString>

class ModuleSession;
class Stage;

// Every object name a scenario may address, from the live module: the session's screen is
// opened on the stage, each page visited by its key, the chooser opened from the program map, and
// a box made; each widget with a name is listed with its class, its text and what it is. The
// screen is closed again at the end.
Result widgetCatalogue(ModuleSession &session, Stage &stage, QString *catalogue);
