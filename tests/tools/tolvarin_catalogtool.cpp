// Another copy of the program's catalogue changes, started by the tests as
// a separate process (see support/changes.h for the commands). It can be
// stopped dead (SIGKILL, as a crash or a power cut would end it) just before
// any step that changes the disk:
//
//   tolvarin_catalogtool STOP COMMAND ARGS...
//
// STOP is the step before which the process kills itself, 0 for none. On
// completion it prints "steps N" (the steps it took) and what the user
// would be told, and exits with the command's code.
#include <QCoreApplication>

#include <cstdio>

#include "../support/changes.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4)
        return 64;
    platform::countStepsForTesting(args[1].toInt());
    const testchanges::Outcome out = testchanges::run(args[2], args.mid(3));
    std::printf("steps %d\n", platform::stepsForTesting());
    for (const QString& text : out.told)
        std::printf("%s\n", text.toUtf8().constData());
    return out.code;
}
