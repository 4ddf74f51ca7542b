// WidgetOptions: what the graphics driver and the user's settings allow the views to do
// (renderer, driver version, software rendering, off-screen mode, graphics memory, snapshot
// size). Values are read from the live shared context and refreshed on request.
#pragma once

#include <QString>

namespace Vaq::GL {

// Configuration keys of the view settings (list values: 0 automatic, 1 off, 2 on).
extern const char *const CFG_SOFTWARE_RENDERING;
extern const char *const CFG_GL_OFFSCREEN_RENDERING;
// Bool: whether the mesh renderer may use occlusion queries.
extern const char *const CFG_USE_MESH_OCCLUSION_QUERY;

class WidgetOptions
{
public:
    enum OffscreenMode_t { OM_OFF = 0, OM_PBUFFER = 1, OM_FRAME_BUFFER_OBJECT = 2 };
    // 0 default; 1 float normals (drivers that mishandle 16-bit normals); 2 no buffer
    // objects; 3 no multi-draw; 4 immediate mode only. Set with VAQ_GL_RENDER_MODE.
    enum RenderMode_t {
        RM_DEFAULT = 0,
        RM_FLOAT_NORMALS = 1,
        RM_NO_BUFFERS = 2,
        RM_NO_MULTIDRAW = 3,
        RM_IMMEDIATE = 4
    };

    struct Options
    {
        int renderMode = RM_DEFAULT;
        bool softwareRendering = false;
        int offscreenMode = OM_OFF;
        unsigned memoryMB = 0;
        int snapshotSize = 0; // longest side of a high-resolution snapshot, pixels
        QString vendor;
        QString renderer;
        QString glVersion;
        QString driverVersion; // "Mesa 22.3.6", or the GL_VERSION text after the version
        bool valid = false; // false when no context could be made
        QString error; // why, when not valid
    };

    static WidgetOptions *getInstance();

    // The options; with update (or when never read) they are read from the context first.
    // The environment can override what the driver says: VAQ_GL_MEMORY_MB (graphics memory
    // where the driver does not tell), VAQ_GL_RENDER_MODE, VAQ_GL_SOFTWARE_RENDERING (0 or 1).
    const Options &getWidgetOptions(bool update);
    const Options &getCurrentWidgetOptions() { return getWidgetOptions(false); }
    // Off-screen mode is not OM_OFF and the user's setting does not switch it off.
    bool isOffscreenRenderingEnabled();
    // Reads everything again from the live context (after a settings change).
    void updateWidgetOptions();

    // The user's settings for CFG_SOFTWARE_RENDERING and CFG_GL_OFFSCREEN_RENDERING
    // (0 automatic, 1 off, 2 on), given by the application from its configuration.
    // Software rendering on makes the next context a software one and is reported as such.
    void setSoftwareRenderingSetting(int value);
    int getSoftwareRenderingSetting() const { return m_software_setting; }
    void setOffscreenRenderingSetting(int value);
    int getOffscreenRenderingSetting() const { return m_offscreen_setting; }
    // The user's snapshot size (longer side in pixels); 0 leaves it to the driver's largest
    // frame buffer, at most 4096. A size the driver cannot hold fails when a snapshot is taken.
    void setSnapshotSizeSetting(int pixels);
    int getSnapshotSizeSetting() const { return m_snapshot_setting; }

    // Whether the renderer text names a software rasteriser (llvmpipe, softpipe, swrast).
    static bool isSoftwareRenderer(const QString &renderer);
    // The driver version in a GL_VERSION text: "4.5 (Compatibility Profile) Mesa 22.3.6"
    // gives "Mesa 22.3.6", "4.6.0 NVIDIA 535.104.05" gives "NVIDIA 535.104.05".
    static QString driverVersionFromGLVersion(const QString &glVersion);

private:
    WidgetOptions() = default;

    Options m_options;
    bool m_read = false;
    int m_software_setting = 0;
    int m_offscreen_setting = 0;
    int m_snapshot_setting = 0;
};

} // namespace Vaq::GL
