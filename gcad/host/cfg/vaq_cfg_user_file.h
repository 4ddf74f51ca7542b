// UserFile: where a program's per-user files live, and how they are written safely.
// Bare names resolve into $VAQ_CONFIG_DIR when it is set, else $XDG_CONFIG_HOME/vaq, else
// ~/.config/vaq. Writes go to a temporary file in the same folder, which is flushed and then
// renamed over the old file, so a crash or a full disk never leaves a half-written file.
#pragma once

#include <QByteArray>
#include <QString>

namespace Vaq::Cfg {

class UserFile
{
public:
    // The per-user configuration folder (not created).
    static QString getConfigDir();
    // The path to read name from. An absolute name is returned as it is.
    static QString getLoadFileName(const QString &name);
    // The path to write name to; creates the configuration folder when it is missing.
    static QString getSaveFileName(const QString &name);

    // Replaces fileName's contents by data atomically. Returns false (with a trace, and the
    // reason in *error when given) when anything fails; fileName then keeps its previous
    // contents, and no temporary is left.
    static bool writeAtomically(const QString &fileName, const QByteArray &data, QString *error = nullptr);

    // For tests: while set, writeAtomically writes and flushes the temporary file and then
    // fails instead of renaming it, as a crash at that moment would.
    static void setFailBeforeRenameForTesting(bool fail);
};

} // namespace Vaq::Cfg
