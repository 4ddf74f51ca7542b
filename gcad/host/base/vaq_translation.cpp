#include "gcad/host/base/vaq_translation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTranslator>

#include <dlfcn.h>

namespace Vaq {

namespace {

// <data>/<catalogue>/translations, where <data> is the data folder seen from the folder of the
// shared library that holds this code; none when it is linked into the program itself.
QString installedFolder(const QString &catalogue)
{
    Dl_info info {};
    if (!dladdr(reinterpret_cast<void *>(&installTranslator), &info) || !info.dli_fname)
        return QString();
    const QFileInfo library(QString::fromLocal8Bit(info.dli_fname));
    if (!library.fileName().contains(QLatin1String(".so")))
        return QString();
    return QDir::cleanPath(library.absoluteDir().filePath(
        QStringLiteral(VAQ_DATA_FROM_LIBRARY "/") + catalogue + QStringLiteral("/translations")));
}

} // namespace

bool installTranslator(const QString &catalogue)
{
    QStringList folders;
    const QString fromEnvironment = qEnvironmentVariable("VAQ_TRANSLATIONS_DIR");
    if (!fromEnvironment.isEmpty())
        folders << fromEnvironment;
    folders << QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"));
    const QString installed = installedFolder(catalogue);
    if (!installed.isEmpty())
        folders << installed;

    for (const QString &folder : folders) {
        // Owned by the application object, so it lives as long as translations are asked for.
        auto *translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(QLocale(), catalogue, QStringLiteral("_"), folder))
            return QCoreApplication::installTranslator(translator);
        delete translator;
    }
    return false;
}

QString translate(const char *context, const char *text)
{
    return QCoreApplication::translate(context, text);
}

} // namespace Vaq
