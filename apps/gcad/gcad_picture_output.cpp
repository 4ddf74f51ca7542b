#include "apps/gcad/gcad_picture_output.h"

#include "apps/gcad/gcad_cli.h"

#include "gcad/host/fig2/vaq_fig2_snapshot_data.h"

#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>
#include <QStringList>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace Gcad {

namespace {

struct Format
{
    const char *extension;
    const char *name; // Qt's name of the format
};
constexpr Format _formats[] = { { "png", "png" }, { "jpg", "jpeg" }, { "jpeg", "jpeg" }, { "bmp", "bmp" },
    { "tif", "tiff" }, { "tiff", "tiff" } };

bool canWrite(const char *format)
{
    return QImageWriter::supportedImageFormats().contains(format);
}

// The extensions whose format this Qt writes, as a list for an error message.
QString writableExtensions()
{
    QStringList extensions;
    for (const Format &format : _formats)
        if (canWrite(format.name))
            extensions << QStringLiteral(".") + format.extension;
    extensions << QStringLiteral(".pdf");
    return extensions.join(QStringLiteral(", "));
}

QByteArray formatForPath(const QString &path)
{
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension.isEmpty())
        return "png";
    if (extension == QLatin1String("pdf"))
        return "pdf";
    for (const Format &format : _formats) {
        if (extension != QLatin1String(format.extension))
            continue;
        if (!canWrite(format.name))
            throw UsageError { path,
                QStringLiteral("this Qt cannot write .%1 pictures (it writes %2)")
                    .arg(extension, writableExtensions()) };
        return format.name;
    }
    throw UsageError { path,
        QStringLiteral("'.%1' is no picture format gcad writes (%2)").arg(extension, writableExtensions()) };
}

// The file's reason where it has one (a full disk, a closed pipe), else the encoder's.
QString reason(const QFileDevice &file, const QImageWriter &writer)
{
    return file.error() != QFileDevice::NoError ? file.errorString() : writer.errorString();
}

} // namespace

PictureOutput::PictureOutput(const QString &path)
    : m_path(path)
{
    if (path == QLatin1String("-")) {
        m_kind = Kind::STANDARD_OUTPUT;
        m_format = "png";
        std::fflush(stdout);
        m_standard_output = ::dup(STDOUT_FILENO);
        ::dup2(STDERR_FILENO, STDOUT_FILENO);
        return;
    }
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) == 0) {
        if (S_ISDIR(status.st_mode))
            throw UsageError { path, QStringLiteral("is a folder, not a file") };
        if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode) || S_ISFIFO(status.st_mode))
            m_kind = Kind::STREAM;
        else if (!S_ISREG(status.st_mode))
            throw UsageError { path, QStringLiteral("is neither a file, a device nor a FIFO") };
    } else if (!QFileInfo(QFileInfo(path).absolutePath()).isDir()) {
        throw UsageError { path, QStringLiteral("the folder does not exist") };
    }
    // A file is replaced through a new one beside it.
    if (m_kind == Kind::REGULAR_FILE
        && ::access(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), W_OK) != 0)
        throw UsageError { path, QStringLiteral("the folder is not writable") };
    m_format = formatForPath(path);
}

PictureOutput::~PictureOutput()
{
    if (m_standard_output >= 0)
        ::close(m_standard_output);
}

bool PictureOutput::write(const QImage &image, QString *error) const
{
    if (m_kind == Kind::REGULAR_FILE) {
        QSaveFile file(m_path);
        QImageWriter writer(&file, m_format);
        if (!file.open(QIODevice::WriteOnly) || !writer.write(image) || !file.commit()) {
            *error = reason(file, writer);
            return false;
        }
        return true;
    }
    QFile file(m_path);
    QImageWriter writer(&file, m_format);
    const bool opened = isStandardOutput()
        ? file.open(m_standard_output, QIODevice::WriteOnly, QFileDevice::DontCloseHandle)
        : file.open(QIODevice::WriteOnly);
    if (!opened || !writer.write(image) || !file.flush()) {
        *error = reason(file, writer);
        return false;
    }
    return true;
}

bool PictureOutput::write(const Vaq::Fig2::SnapshotData &document, QString *error) const
{
    if (!isPdf())
        return write(document.toImage(), error);
    if (m_kind == Kind::REGULAR_FILE)
        return document.writePdf(m_path, error);
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || !document.writePdf(&file, error) || !file.flush()) {
        if (file.error() != QFileDevice::NoError)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace Gcad
