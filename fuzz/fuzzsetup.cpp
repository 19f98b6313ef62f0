#include "fuzzsetup.h"

#include "msgboxsim.h"
#include "simcontroller.h"
#include "simenvironment.h"

#include <QApplication>
#include <QFile>

namespace {
SimEnvironment *environment = nullptr;
}

void fuzzSetup()
{
    if (environment)
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv); // both live as long as the fuzzing process
    environment = new SimEnvironment;
    sim::MsgBoxHooks::answerAll(1);
    sim::CallLog::instance().setEnabled(false);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
}

QString fuzzInputFile(const uint8_t *data, size_t size, const QString &name)
{
    const QString path = environment->localDir() + QLatin1Char('/') + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    return path;
}

SimEnvironment &fuzzEnvironment()
{
    fuzzSetup();
    return *environment;
}
