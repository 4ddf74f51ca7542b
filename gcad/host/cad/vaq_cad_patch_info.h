// PatchInfo: the patches (faces) of a nominal mesh with a material offset of their own, e.g.
// sheet metal whose thickness is added on a different side per face. The offset surface of
// the mesh is built from these; the renderers compare them to know when to rebuild it.
#pragma once

#include <utility>
#include <vector>

namespace Vaq::CAD {

class PatchInfo
{
public:
    struct Patch
    {
        double offset = 0.0;
        // The offset applies to the patch at all, and on its material side.
        bool offsetEnabled = true;
        bool materialSide = true;
    };

    PatchInfo() = default;
    explicit PatchInfo(std::vector<Patch> patches)
        : m_patches(std::move(patches))
    {
    }

    unsigned getNumberOfPatches() const { return unsigned(m_patches.size()); }
    // The patch's flag: both of its switches on. Index must be below getNumberOfPatches().
    bool getPatchFlag(unsigned index) const
    {
        return m_patches[index].offsetEnabled && m_patches[index].materialSide;
    }
    double getPatchOffset(unsigned index) const { return m_patches[index].offset; }

private:
    std::vector<Patch> m_patches;
};

} // namespace Vaq::CAD
