#include "dataaccess.h"

#include "simcontroller.h"

bool DataAccess::GetFileFromController2TPU(const QString &ctrlPath, const QString &localPath,
                                           bool background)
{
    SIM_LOG_CALL("DataAccess::GetFileFromController2TPU", ctrlPath, localPath, background);
    return sim::Controller::instance().fetch(ctrlPath, localPath);
}

bool DataAccess::SendFileFromTPU2Controller(const QString &localPath, const QString &ctrlPath,
                                            bool background)
{
    SIM_LOG_CALL("DataAccess::SendFileFromTPU2Controller", localPath, ctrlPath, background);
    return sim::Controller::instance().send(localPath, ctrlPath);
}

bool DataAccess::isRobotRunning()
{
    SIM_LOG_CALL("DataAccess::isRobotRunning");
    return sim::Controller::instance().isRobotRunning();
}
