#pragma once

#include "treefiles/result.h"

#include <QSet>
#include <QString>
#include <QStringList>

struct Scenario;

class ModuleSession;
class Stage;

// Every object name a scenario may address, from the live module: the session's screen is
// opened on the stage, each page visited by its key, the chooser opened from the program map, and
// a box made; each widget with a name is listed with its class, its text and what it is. The
// screen is closed again at the end.
// names, when given, receives every name listed.
Result widgetCatalogue(ModuleSession &session, Stage &stage, QString *catalogue, QSet<QString> *names = nullptr);

// Where a scenario names a widget the catalogue's names do not hold, a line each as the player
// would say it; a row's key of any slot counts as named.
QStringList unknownWidgets(const Scenario &scenario, const QSet<QString> &names);
