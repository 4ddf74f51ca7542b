#include "apps/gcad/gcad_view_window.h"

#include "apps/gcad/gcad_cli.h"
#include "apps/gcad/gcad_view_section_preview.h"

#include "gcad/host/cad/vaq_cad_label.h"
#include "gcad/host/fig2/vaq_fig2_snapshot_data.h"
#include "gcad/host/fig2/vaq_fig2_style.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/overlay/gcad_r_overlay2d.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

#include <cstdio>

namespace Gcad {

using Vaq::CAD::Element;

const Vaq::Color ViewerWindow::MARK_COLOR { 255, 140, 0 };

QString elementName(const Element &element)
{
    const QString name = QFileInfo(element.getFileName()).fileName();
    return name.isEmpty() ? QStringLiteral("element") : name;
}

ViewerWindow::ViewerWindow(const Scene::Scene &scene, Scene::SceneRenderCallback &callback,
    const QSize &viewSize, const QString &snapshotBase, const QString &screenshotPath)
    : m_callback(callback)
    , m_creator(&callback)
    , m_view(new Vaq::GL::ViewWidget(&callback, viewSize, this, &m_creator))
    , m_snapshot_base(snapshotBase)
    , m_screenshot_path(screenshotPath)
    , m_element_label(new QLabel(this))
    , m_fps_label(new QLabel(this))
    , m_progress(new QProgressBar(this))
    , m_section_preview(new SectionPreview(*m_view->getRenderObject(), m_view))
{
    setWindowTitle(QStringLiteral("gcad view"));
    setCentralWidget(m_view);
    m_view->setFocus();

    m_progress->setRange(0, 0); // busy: how long a repaint takes is not known ahead
    m_progress->setMaximumWidth(120);
    m_progress->hide();
    statusBar()->addPermanentWidget(m_element_label);
    statusBar()->addPermanentWidget(m_progress);
    statusBar()->addPermanentWidget(m_fps_label);
    statusBar()->addPermanentWidget(new QLabel(QStringLiteral("%1 triangles, %2 points")
                                                   .arg(scene.getNumberOfTriangles())
                                                   .arg(scene.getNumberOfPoints()),
        this));

    auto *quit = new QAction(this);
    quit->setShortcut(QKeySequence::Quit);
    connect(quit, &QAction::triggered, this, &QWidget::close);
    addAction(quit);

    connect(m_view, &Vaq::GL::ViewWidget::hovered, this, &ViewerWindow::hover);
    connect(m_view, &Vaq::GL::ViewWidget::clicked, this, &ViewerWindow::click);
    connect(m_view, &Vaq::GL::ViewWidget::doubleClicked, this, &ViewerWindow::setRotationCenter);
    connect(m_view, &Vaq::GL::ViewWidget::motionEnded, this,
        [this](double fps) { m_fps_label->setText(QStringLiteral("%1 fps").arg(fps, 0, 'f', 1)); });
    connect(m_view, &Vaq::GL::ViewWidget::repaintProgress, this, [this](qint64 ms) {
        m_progress->show();
        m_progress->setFormat(QStringLiteral("drawing %1 s").arg(ms / 1000.0, 0, 'f', 1));
    });
    connect(m_view, &Vaq::GL::ViewWidget::repaintFinished, m_progress, &QWidget::hide);
    // The preview follows the view as it turns, pans and zooms.
    connect(m_view, &Vaq::GL::ViewWidget::repaintFinished, m_section_preview, qOverload<>(&QWidget::update));
    connect(m_view, &Vaq::GL::ViewWidget::viewResized, m_section_preview,
        [this](const QSize &size) { m_section_preview->resize(size); });
    m_section_preview->resize(viewSize);
    // New room for the labels: they are laid out anew for it.
    connect(m_view, &Vaq::GL::ViewWidget::viewResized, this,
        [this] { m_callback.getOverlay2d()->repositionLabels(); });
}

ViewerWindow::~ViewerWindow()
{
    delete m_view;
}

void ViewerWindow::showMessage(const QString &text)
{
    statusBar()->showMessage(text);
}

Element *ViewerWindow::elementAt(const QPoint &pixel) const
{
    return m_callback.getNearestRenderedElement(Vaq::BaVec2d<double>(pixel.x(), pixel.y()), false);
}

void ViewerWindow::hover(const QPoint &pixel)
{
    Element *element = elementAt(pixel);
    m_element_label->setText(element ? elementName(*element) : QString());
    // The 3-D overlay finds the element and the axis under the mouse while it draws.
    const bool axisChanged = m_callback.overlay3dNeedsUpdate();
    if (element == m_hovered && !axisChanged)
        return;
    m_hovered = element;
    m_view->redrawOverlay();
}

void ViewerWindow::click(const QPoint &pixel)
{
    using Vaq::GL::ViewCreator;
    const ViewCreator::ViewDirection_t direction = m_callback.getSelectedCoordinateView();
    Vaq::BaVec3d<double> rotation;
    if (ViewCreator::getRotationForView(direction, &rotation)) {
        m_view->jumpView([rotation](Vaq::GL::RenderObject &view) {
            view.setRotation(rotation);
            view.fitView();
        });
        showMessage(QStringLiteral("view %1").arg(ViewCreator::getViewName(direction)));
        return;
    }
    Element *element = elementAt(pixel);
    if (!element)
        return;
    m_marked.insert(element);
    if (!element->getLabel()) {
        // The label points at the surface point clicked.
        Vaq::CAD::LabelElement *label = element->setLabel(elementName(*element));
        double depth = 0.0;
        Vaq::BaVec3d<double> point;
        if (m_callback.getRotationCenterPoint(pixel.x(), pixel.y(), &depth, &point))
            label->setConnectorPoint(Vaq::CAD::StageIdentifier::NO_STAGE, point);
        label->setAutoLabelPlacement(true);
        m_labelled.insert(element);
        m_callback.getOverlay2d()->repositionLabels();
    }
    m_callback.markElement(element, MARK_COLOR);
    m_view->refresh();
    showMessage(QStringLiteral("marked %1").arg(elementName(*element)));
}

void ViewerWindow::setRotationCenter(const QPoint &pixel)
{
    double depth = 0.0;
    Vaq::BaVec3d<double> point;
    if (!m_callback.getRotationCenterPoint(pixel.x(), pixel.y(), &depth, &point))
        return;
    m_view->setRotationCenter(point);
    showMessage(QStringLiteral("turning about %1, %2, %3").arg(point.x).arg(point.y).arg(point.z));
}

void ViewerWindow::unmarkAll()
{
    for (Element *element : m_labelled)
        element->removeLabel();
    m_labelled.clear();
    m_marked.clear();
    m_hovered = nullptr;
    m_section_axis = -1;
    m_section_preview->clear();
    if (!m_callback.unmarkElement())
        m_view->redraw(); // only labels went
    m_view->refresh();
    showMessage(QString());
}

void ViewerWindow::takeSnapshot()
{
    if (m_view->getRenderObject()->isRepainting() || m_view->isMoving()) {
        QTimer::singleShot(20, this, &ViewerWindow::takeSnapshot);
        return;
    }
    QString path = m_snapshot_base + QStringLiteral("-snapshot.png");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = m_snapshot_base + QStringLiteral("-snapshot-%1.png").arg(n);
    showMessage(QStringLiteral("taking a snapshot ..."));
    bool ok = false;
    QString error = QStringLiteral("the picture could not be read");
    const std::unique_ptr<Vaq::Fig2::SnapshotData> snapshot = m_callback.createSnapshot(&ok);
    m_view->refresh();
    if (ok && snapshot->writePng(path, &error)) {
        const QString where = QFileInfo(path).absoluteFilePath();
        showMessage(QStringLiteral("snapshot written to %1").arg(where));
        std::printf("snapshot written to %s\n", where.toUtf8().constData());
        std::fflush(stdout);
    } else {
        showMessage(QStringLiteral("snapshot failed: %1").arg(error));
        reportError(path, error, 1);
    }
}

void ViewerWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        unmarkAll();
    else if (event->key() == Qt::Key_S)
        takeSnapshot();
    else if (event->key() == Qt::Key_P)
        nextSectionPreview();
    else
        QMainWindow::keyPressEvent(event);
}

void ViewerWindow::nextSectionPreview()
{
    static const char *const AXES[3] = { "x", "y", "z" };
    m_section_axis = m_section_axis >= 2 ? -1 : m_section_axis + 1;
    if (m_section_axis < 0) {
        m_section_preview->clear();
        showMessage(QString());
    } else if (m_section_preview->show(
                   std::vector<Element *>(m_marked.begin(), m_marked.end()), m_section_axis))
        showMessage(QStringLiteral("section preview across %1 through the marked elements")
                        .arg(QLatin1String(AXES[m_section_axis])));
    else {
        m_section_axis = -1;
        showMessage(QStringLiteral("P shows a section preview: click elements first"));
    }
}

void ViewerWindow::saveScreenshot()
{
    const QPoint topLeft = m_view->mapTo(this, QPoint(0, 0));
    const QPixmap picture
        = screen()->grabWindow(winId(), topLeft.x(), topLeft.y(), m_view->width(), m_view->height());
    if (!picture.save(m_screenshot_path, "PNG"))
        std::fprintf(
            stderr, "gcad: error: %s: cannot write the screenshot\n", m_screenshot_path.toUtf8().constData());
}

void ViewerWindow::closeEvent(QCloseEvent *event)
{
    if (!m_screenshot_path.isEmpty())
        saveScreenshot();
    m_view->closeView();
    event->accept();
}

} // namespace Gcad
