// UpdateOptions: what kind of repaint a view is asked for. A repaint names an update stage
// (how much changed) and a template (why it is drawn); the template alone fixes the three
// flags the drawing code reads, so every caller gets the same meaning for the same pair.
#pragma once

namespace Vaq::GL {

class UpdateOptions
{
public:
    // How much of the view changed since the last repaint.
    enum UpdateStage_t {
        US_ALL = 0, // scene contents changed: everything is collected again
        US_VIEW = 1, // only the view (rotation, zoom, size) changed
        US_OVERLAY = 2, // only marks or overlays changed
    };

    // Why the view is drawn. The flags each template sets:
    //
    //   template             snapshotRendering  interactiveUpdate  keepGpuData
    //   0 UT_DEFAULT               no                 no               no
    //   1 UT_INTERACTIVE           no                 yes              yes
    //   2 UT_KEEP_GPU_DATA         no                 no               yes
    //   3 UT_SNAPSHOT              yes                no               yes
    //   4 UT_BENCHMARK             no                 no               yes
    //
    // Interactive repaints (the view is being moved) may thin out what is drawn; all but
    // the default keep buffer objects on the GPU, because the next frame needs them again.
    enum UpdateTemplate_t {
        UT_DEFAULT = 0,
        UT_INTERACTIVE = 1,
        UT_KEEP_GPU_DATA = 2,
        UT_SNAPSHOT = 3,
        UT_BENCHMARK = 4,
    };

    // Stage 0, template 0.
    UpdateOptions();
    // Throws ProgError "update stage out of range" or "update template out of range".
    UpdateOptions(int stage, int templ);

    UpdateStage_t getStage() const { return m_stage; }
    UpdateTemplate_t getTemplate() const { return m_template; }

    bool operator==(const UpdateOptions &o) const
    {
        return m_stage == o.m_stage && m_template == o.m_template;
    }

    // Derived from the template (table above); read-only by convention.
    bool snapshotRendering = false;
    bool interactiveUpdate = false;
    bool keepGpuData = false;

private:
    UpdateStage_t m_stage = US_ALL;
    UpdateTemplate_t m_template = UT_DEFAULT;
};

} // namespace Vaq::GL
