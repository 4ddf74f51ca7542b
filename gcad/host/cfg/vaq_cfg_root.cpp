#include "gcad/host/cfg/vaq_cfg_root.h"

#include "gcad/host/cfg/vaq_cfg_user_file.h"

namespace Vaq::Cfg {

CfgNode &getRoot()
{
    static CfgNode root;
    return root;
}

QString getRootFileName()
{
    return QStringLiteral("vaq.cfg");
}

bool loadRoot()
{
    return getRoot().load(UserFile::getLoadFileName(getRootFileName()));
}

bool saveRoot()
{
    return getRoot().save(UserFile::getSaveFileName(getRootFileName()));
}

} // namespace Vaq::Cfg
