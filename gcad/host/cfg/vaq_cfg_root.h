// The process-wide configuration tree of a program: the top node that the program and the
// libraries it starts register their entries on, and its per-user file "vaq.cfg".
#pragma once

#include "gcad/host/cfg/vaq_cfg_node.h"

namespace Vaq::Cfg {

// The program's tree; created empty on first use, lives until the process ends.
CfgNode &getRoot();

// The bare name of the tree's user file ("vaq.cfg").
QString getRootFileName();

// Loads the user file into the tree (see CfgNode::fromText); false when there is none yet.
bool loadRoot();
// Saves the tree to its user file atomically; false (with a trace) when that fails.
bool saveRoot();

} // namespace Vaq::Cfg
