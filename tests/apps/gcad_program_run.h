// Runs the gcad program as a user would, in a configuration folder of the test's choosing,
// and collects its exit status and what it printed.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace Gcad::Test {

struct ProgramRun
{
    int status = -1; // -1: did not finish in time, -2: crashed
    QString out;
    QString err;
};

// configDir: the program's VAQ_CONFIG_DIR; empty keeps the test's own.
inline ProgramRun runGcad(const QStringList &arguments, const QString &configDir = QString())
{
    QProcess process;
    if (!configDir.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("VAQ_CONFIG_DIR"), configDir);
        process.setProcessEnvironment(environment);
    }
    process.start(QStringLiteral(GCAD_PROGRAM), arguments);
    ProgramRun run;
    if (!process.waitForFinished(120000))
        return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace Gcad::Test
