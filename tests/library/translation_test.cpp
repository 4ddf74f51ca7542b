// The German catalogue: every text the library's sources give to translate() or
// QT_TRANSLATE_NOOP has a finished translation, and the library installs the catalogue for
// the current locale when it starts.
#include "gcad/gcad_library.h"
#include "gcad/host/base/vaq_translation.h"
#include "gcad/host/cfg/vaq_cfg_node.h"
#include "gcad/host/gapp/vaq_gapp_command.h"
#include "gcad/host/gapp/vaq_gapp_command_container.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

using namespace Vaq;

namespace {

// "context: source" of every message of the .ts text without a finished translation.
QStringList untranslated(const QByteArray &ts)
{
    QStringList missing;
    QXmlStreamReader xml(ts);
    QString context, source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("source"))
            source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation")) {
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            if (type == QLatin1String("unfinished") || xml.readElementText().isEmpty())
                missing << context + QStringLiteral(": ") + source;
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return missing;
}

} // namespace

TEST(Translations, EveryTextOfTheLibraryHasAGermanTranslation)
{
    // The catalogue as the sources would make it now: texts added since it was last refreshed
    // come in unfinished.
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString ts = folder.filePath(QStringLiteral("VaqGCAD_de.ts"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(GCAD_SOURCE_DIR "/translations/VaqGCAD_de.ts"), ts));
    QFile::setPermissions(ts, QFile::ReadOwner | QFile::WriteOwner);
    QProcess lupdate;
    lupdate.setWorkingDirectory(QStringLiteral(GCAD_SOURCE_DIR));
    lupdate.start(QStringLiteral(GCAD_LUPDATE),
        { "-silent", "-locations", "none", "-no-obsolete", "-extensions", "cpp,h", "gcad", "-ts", ts });
    ASSERT_TRUE(lupdate.waitForFinished(60000));
    ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();

    QFile file(ts);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    ASSERT_TRUE(text.contains("<name>GCAD_info</name>"));
    const QStringList missing = untranslated(text);
    EXPECT_TRUE(missing.isEmpty())
        << "untranslated:\n"
        << missing.join('\n').toStdString()
        << "\nrefresh with: cmake --build build/default --target update_translations, "
           "then translate them in translations/VaqGCAD_de.ts";
}

TEST(Translations, LibraryStartInstallsTheCatalogueOfTheLocale)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Cfg::CfgNode node;
    GCAD::InitLibrary(&node);
    EXPECT_EQ(translate("GCAD_info", "software crashes"), QStringLiteral("Programmabstürze"));
    EXPECT_EQ(GApp::CommandContainer::getCommand("sys.run_vertex_cache_benchmark")->getMenuName(),
        QStringLiteral("Vertex-Cache-Benchmark ausführen"));
    EXPECT_EQ(node.getItem("RenderOptions/Expert/HighlightColor").getDescription(),
        QStringLiteral("Farbe der Hervorhebung"));

    GApp::CommandContainer::deleteAll();
    GCAD::CloseLibrary();
    QLocale::setDefault(QLocale::c());
    for (QTranslator *translator : QCoreApplication::instance()->findChildren<QTranslator *>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    EXPECT_EQ(translate("GCAD_info", "software crashes"), QStringLiteral("software crashes"));
}
