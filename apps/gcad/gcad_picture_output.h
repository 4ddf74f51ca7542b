// Where gcad render writes its picture. "-" is standard output; a device or a FIFO is written
// into as it stands; any other path is a regular file, replaced atomically so that a failed
// write leaves the old picture. The extension names the format: .png, .jpg or .jpeg, .bmp,
// .tif or .tiff where this Qt writes it, or .pdf (a snapshot document's page, its texts kept as
// text); no extension (and "-") means PNG.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace Vaq::Fig2 {
class SnapshotData;
}

namespace Gcad {

class PictureOutput
{
public:
    // Checks path before any work is done; throws UsageError for a folder, a missing folder,
    // a socket or an extension naming no format that can be written here. With "-", standard
    // output is kept for the picture from here on: what else would be printed there goes to
    // standard error.
    explicit PictureOutput(const QString &path);
    ~PictureOutput();
    PictureOutput(const PictureOutput &) = delete;
    PictureOutput &operator=(const PictureOutput &) = delete;

    bool isStandardOutput() const { return m_kind == Kind::STANDARD_OUTPUT; }
    const QString &path() const { return m_path; }
    // PDF is a page of a snapshot document, not a picture.
    bool isPdf() const { return m_format == "pdf"; }

    // Writes image in the output's format (not PDF); false with the reason in *error.
    bool write(const QImage &image, QString *error) const;
    // Writes the document: its page as PDF, or its picture in the output's format.
    bool write(const Vaq::Fig2::SnapshotData &document, QString *error) const;

private:
    enum class Kind { STANDARD_OUTPUT, STREAM, REGULAR_FILE };

    QString m_path;
    QByteArray m_format;
    Kind m_kind = Kind::REGULAR_FILE;
    int m_standard_output = -1; // the picture's copy of standard output
};

} // namespace Gcad
