#include "gcad/host/base/vaq_translation.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QTranslator>

namespace Vaq {

bool installTranslator(const QString &catalogue)
{
    QString folder = qEnvironmentVariable("VAQ_TRANSLATIONS_DIR");
    if (folder.isEmpty())
        folder = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"));

    // Owned by the application object, so it lives as long as translations are asked for.
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QLocale(), catalogue, QStringLiteral("_"), folder)) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

QString translate(const char *context, const char *text)
{
    return QCoreApplication::translate(context, text);
}

} // namespace Vaq
