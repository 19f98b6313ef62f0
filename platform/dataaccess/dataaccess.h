#pragma once

#include <QString>

#if defined(DATAACCESS_LIBRARY)
#define DATAACCESS_EXPORT Q_DECL_EXPORT
#else
#define DATAACCESS_EXPORT Q_DECL_IMPORT
#endif

// File transfer between the panel and the robot controller, and the robot's run state.
class DATAACCESS_EXPORT DataAccess
{
public:
    // Copies one file; false when the controller is not connected, the source is missing, the
    // path leaves the controller's file store or the copy fails. A failed copy leaves the
    // destination as it was. background: queue the copy instead of waiting (not supported here;
    // the copy always completes before the call returns).
    static bool GetFileFromController2TPU(const QString &ctrlPath, const QString &localPath,
                                          bool background);
    static bool SendFileFromTPU2Controller(const QString &localPath, const QString &ctrlPath,
                                           bool background);
    // True while the robot runs a program, from the reservation or from outside it.
    static bool isRobotRunning();
};
