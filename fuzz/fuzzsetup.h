#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// What every target needs once: a headless application, a panel and a controller in a
// temporary directory, and every message box acknowledged.
void fuzzSetup();
class SimEnvironment;
// The panel and the controller the targets run on.
SimEnvironment &fuzzEnvironment();
// Writes the input to a file of the panel's local directory and returns its path.
QString fuzzInputFile(const uint8_t *data, size_t size, const QString &name);
