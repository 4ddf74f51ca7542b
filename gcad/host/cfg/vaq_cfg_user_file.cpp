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

bool UserFile::writeAtomically(const QString &fileName, const QByteArray &data)
{
    const char *function = "Vaq::Cfg::UserFile::writeAtomically";
    QSaveFile file(fileName);
    // Never fall back to writing the target in place: that is what this function avoids.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        VAQ_TRACE(function, QStringLiteral("cannot write %1: %2").arg(fileName, file.errorString()));
        return false;
    }
    if (file.write(data) != data.size() || !file.flush()) {
        VAQ_TRACE(function, QStringLiteral("cannot write %1: %2").arg(fileName, file.errorString()));
        file.cancelWriting();
        return false;
    }
    if (_fail_before_rename) {
        VAQ_TRACE(function, QStringLiteral("cannot write %1: rename refused for testing").arg(fileName));
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        VAQ_TRACE(function, QStringLiteral("cannot write %1: %2").arg(fileName, file.errorString()));
        return false;
    }
    return true;
}

void UserFile::setFailBeforeRenameForTesting(bool fail)
{
    _fail_before_rename = fail;
}

} // namespace Vaq::Cfg
