#pragma once

#include <QString>

// The module's paths, computed once when the module is loaded, the local directory first.
namespace modulepaths {

// Computes the paths and registers the module's images and translations; later calls do
// nothing.
void init();

// The panel's file tree, the folder its localized names resolve in: nothing the module writes,
// makes or removes may lie outside it.
const QString &panelRoot();
// "../Application/zuzerarove" as the panel has it.
const QString &localDir();
// The reservation configuration, locally and on the controller.
const QString &localConfigPath();
const QString &ctrlConfigPath();
// The program map file, locally and on the controller.
const QString &localProgramMapPath();
const QString &ctrlProgramMapPath();
// The soft-PLC configuration and the controller's environment list (xpl.cfg), locally and on the
// controller.
const QString &localSoftPlcPath();
const QString &ctrlSoftPlcPath();
const QString &localEnvironmentListPath();
const QString &ctrlEnvironmentListPath();

} // namespace modulepaths
