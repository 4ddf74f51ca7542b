#include "gcad/host/cfg/vaq_cfg_user_file.h"

#include "gcad/host/base/vaq_trace.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace Vaq::Cfg {

namespace {
bool _fail_before_rename = false;
}

QString UserFile::getConfigDir()
{
    const QString own = qEnvironmentVariable("VAQ_CONFIG_DIR");
    if (!own.isEmpty())
        return QDir::cleanPath(own);
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty())
        return QDir::cleanPath(xdg + QStringLiteral("/vaq"));
    return QDir::cleanPath(QDir::homePath() + QStringLiteral("/.config/vaq"));
}

QString UserFile::getLoadFileName(const QString &name)
{
    if (QFileInfo(name).isAbsolute())
        return name;
    return QDir(getConfigDir()).filePath(name);
}

QString UserFile::getSaveFileName(const QString &name)
{
    const QString fileName = getLoadFileName(name);
    const QString folder = QFileInfo(fileName).absolutePath();
    if (!QDir().mkpath(folder))
        VAQ_TRACE("Vaq::Cfg::UserFile::getSaveFileName", QStringLiteral("cannot create folder ") + folder);
    return fileName;
}

bool UserFile::writeAtomically(const QString &fileName, const QByteArray &data, QString *error)
{
    const char *function = "Vaq::Cfg::UserFile::writeAtomically";
    QString reason;
    QSaveFile file(fileName);
    // Never fall back to writing the target in place: that is what this function avoids.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        reason = file.errorString();
    } else if (file.write(data) != data.size() || !file.flush()) {
        reason = file.errorString();
        file.cancelWriting();
    } else if (_fail_before_rename) {
        reason = QStringLiteral("rename refused for testing");
        file.cancelWriting();
    } else if (!file.commit()) {
        reason = file.errorString();
    } else {
        return true;
    }
    VAQ_TRACE(function, QStringLiteral("cannot write %1: %2").arg(fileName, reason));
    if (error)
        *error = reason;
    return false;
}

void UserFile::setFailBeforeRenameForTesting(bool fail)
{
    _fail_before_rename = fail;
}

} // namespace Vaq::Cfg
