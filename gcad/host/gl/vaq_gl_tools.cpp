#include "gcad/host/gl/vaq_gl_tools.h"

#include "gcad/host/base/vaq_trace.h"
#include "gcad/host/base/vaq_translation.h"
#include "gcad/host/gl/vaq_gl_api.h"

#include <QApplication>
#include <QMessageBox>

namespace Vaq::GL {

void GLTools::initDefaults()
{
    ::glEnable(GL_LIGHTING);
    ::glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    ::glDepthMask(GL_TRUE);
    ::glEnable(GL_BLEND);
    ::glBlendFunc(GL_ONE, GL_ZERO);
    ::glDisable(GL_LINE_SMOOTH);
    ::glEnable(GL_POLYGON_OFFSET_FILL);
    ::glPolygonOffset(1.0f, 1.0f);
    ::glDisable(GL_CULL_FACE);
    ::glDisable(GL_COLOR_MATERIAL);
    ::glLineWidth(1.0f);
    ::glEnable(GL_DEPTH_TEST);
    ::glDepthFunc(GL_LEQUAL);
    ::glEnable(GL_STENCIL_TEST);
    ::glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    ::glEnable(GL_NORMALIZE);
    ::glShadeModel(GL_SMOOTH);
}

namespace {

struct Check
{
    const char *name;
    bool ok;
};

bool enabled(GLenum capability)
{
    return ::glIsEnabled(capability) == GL_TRUE;
}

GLint integer(GLenum name)
{
    GLint value = 0;
    ::glGetIntegerv(name, &value);
    return value;
}

} // namespace

bool GLTools::checkDefaults(QString *difference)
{
    GLint polygonMode[2] = { 0, 0 };
    ::glGetIntegerv(GL_POLYGON_MODE, polygonMode);
    GLboolean depthMask = GL_FALSE;
    ::glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
    GLfloat lineWidth = 0.0f;
    ::glGetFloatv(GL_LINE_WIDTH, &lineWidth);

    const Check checks[] = {
        { "GL_LIGHTING disabled", enabled(GL_LIGHTING) },
        { "polygon mode front not GL_FILL", polygonMode[0] == GL_FILL },
        { "polygon mode back not GL_FILL", polygonMode[1] == GL_FILL },
        { "depth writes off", depthMask == GL_TRUE },
        { "GL_BLEND disabled", enabled(GL_BLEND) },
        { "blend function not GL_ONE, GL_ZERO",
            integer(GL_BLEND_SRC_RGB) == GL_ONE && integer(GL_BLEND_DST_RGB) == GL_ZERO
                && integer(GL_BLEND_SRC_ALPHA) == GL_ONE && integer(GL_BLEND_DST_ALPHA) == GL_ZERO },
        { "GL_LINE_SMOOTH enabled", !enabled(GL_LINE_SMOOTH) },
        { "GL_POLYGON_OFFSET_FILL disabled", enabled(GL_POLYGON_OFFSET_FILL) },
        { "GL_CULL_FACE enabled", !enabled(GL_CULL_FACE) },
        { "GL_COLOR_MATERIAL enabled", !enabled(GL_COLOR_MATERIAL) },
        { "line width not 1", lineWidth == 1.0f },
        { "GL_DEPTH_TEST disabled", enabled(GL_DEPTH_TEST) },
        { "GL_STENCIL_TEST disabled", enabled(GL_STENCIL_TEST) },
        { "stencil op not GL_KEEP, GL_KEEP, GL_REPLACE",
            integer(GL_STENCIL_FAIL) == GL_KEEP && integer(GL_STENCIL_PASS_DEPTH_FAIL) == GL_KEEP
                && integer(GL_STENCIL_PASS_DEPTH_PASS) == GL_REPLACE },
    };
    for (const Check &check : checks) {
        if (!check.ok) {
            if (difference)
                *difference = QString::fromLatin1(check.name);
            return false;
        }
    }
    if (difference)
        difference->clear();
    return true;
}

void GLTools::showMemoryWarning(const QString &what)
{
    QString text = Vaq::translate("VaqGL", "not enough graphics memory");
    if (!what.isEmpty())
        text += QStringLiteral(": ") + what;
    VAQ_TRACE("Vaq::GL::GLTools::showMemoryWarning", text);
    // Not modal: the warning comes from inside a repaint, which must go on.
    if (qobject_cast<QApplication *>(QCoreApplication::instance())) {
        auto *box = new QMessageBox(QMessageBox::Warning, Vaq::translate("VaqGL", "graphics memory"), text);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->show();
    }
}

} // namespace Vaq::GL
