// gcad view on a virtual X display (Xvfb), driven by xdotool as a user would drive it: what
// appears on screen after turning, hovering and clicking, judged by pixels of the screenshot
// the viewer saves when it closes, and the snapshot it writes. Skipped where Xvfb or xdotool
// is missing.
#include "tests/apps/scene_test_files.h"

#include <QColor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

#include <unistd.h>

using Gcad::Test::TestFolder;

namespace {

constexpr int W = 320, H = 240;

// A box 4 x 1.5 x 1 around the origin: long enough that turning changes its outline.
QByteArray boxStl()
{
    const float x = 2.0f, y = 0.75f, z = 0.5f;
    const float c[8][3] = { { -x, -y, -z }, { x, -y, -z }, { x, y, -z }, { -x, y, -z }, { -x, -y, z },
        { x, -y, z }, { x, y, z }, { -x, y, z } };
    const int faces[12][3] = { { 0, 2, 1 }, { 0, 3, 2 }, { 4, 5, 6 }, { 4, 6, 7 }, { 0, 1, 5 }, { 0, 5, 4 },
        { 1, 2, 6 }, { 1, 6, 5 }, { 2, 3, 7 }, { 2, 7, 6 }, { 3, 0, 4 }, { 3, 4, 7 } };
    std::vector<std::array<float, 9>> triangles;
    for (const auto &f : faces)
        triangles.push_back({ c[f[0]][0], c[f[0]][1], c[f[0]][2], c[f[1]][0], c[f[1]][1], c[f[1]][2],
            c[f[2]][0], c[f[2]][1], c[f[2]][2] });
    return Gcad::Test::binaryStl(triangles);
}

// A dense square of points 0.6 wide just over the box's top face, around (0.6, 0.6, 0.6): in
// the iso view that point lies in front of the box's centre, so the patch covers the middle of
// the view.
QByteArray pointPatchXyz()
{
    QByteArray text;
    for (int i = -15; i <= 15; ++i)
        for (int j = -15; j <= 15; ++j)
            text += QByteArray::number(0.6 + 0.02 * i) + ' ' + QByteArray::number(0.6 + 0.02 * j) + " 0.6\n";
    return text;
}

QProcessEnvironment programEnvironment(const QString &display)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    if (display.isEmpty())
        environment.remove(QStringLiteral("DISPLAY"));
    else
        environment.insert(QStringLiteral("DISPLAY"), display);
    return environment;
}

bool waitFor(const std::function<bool()> &condition, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > ms)
            return false;
        QThread::msleep(20);
    }
    return true;
}

// Xvfb on a free display number for the test's lifetime.
class VirtualDisplay
{
public:
    VirtualDisplay()
    {
        for (int number = 90 + getpid() % 50; number < 190 && m_name.isEmpty(); ++number) {
            if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number))
                || QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
                continue;
            m_server.start(QStringLiteral("Xvfb"),
                { QStringLiteral(":%1").arg(number), QStringLiteral("-screen"), QStringLiteral("0"),
                    QStringLiteral("800x600x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp") });
            const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(number);
            if (m_server.waitForStarted(5000)
                && waitFor([&] { return QFile::exists(socket) || m_server.waitForFinished(0); }, 5000)
                && m_server.state() == QProcess::Running) {
                m_name = QStringLiteral(":%1").arg(number);
            } else {
                m_server.kill();
                m_server.waitForFinished(3000);
            }
        }
    }
    ~VirtualDisplay()
    {
        m_server.terminate();
        m_server.waitForFinished(3000);
    }
    const QString &name() const { return m_name; }

private:
    QProcess m_server;
    QString m_name;
};

// One viewer session: started on files at W x H in the iso view, snapshots 1000 pixels wide, driven with
// xdotool, closed with Ctrl+Q.
class Viewer
{
public:
    Viewer(const QString &display, const QStringList &files, const QString &screenshot)
        : m_display(display)
    {
        m_process.setProcessEnvironment(programEnvironment(display));
        m_process.start(QStringLiteral(GCAD_PROGRAM),
            QStringList { QStringLiteral("view"), QStringLiteral("--size"),
                QStringLiteral("%1x%2").arg(W).arg(H), QStringLiteral("--snapshot"), QStringLiteral("1000"),
                QStringLiteral("--screenshot-on-exit"), screenshot, QStringLiteral("--no-check") }
                + files);
        m_process.waitForStarted(5000);
        // The first picture is on screen once the viewer says what it shows.
        m_ready = waitFor(
                      [this] {
                          m_process.waitForReadyRead(20);
                          m_out += m_process.readAllStandardOutput();
                          return m_out.contains("showing") || m_process.state() == QProcess::NotRunning;
                      },
                      20000)
            && m_process.state() == QProcess::Running;
        m_window
            = xdotool({ QStringLiteral("search"), QStringLiteral("--name"), QStringLiteral("^gcad view$") })
                  .trimmed()
                  .split('\n')
                  .value(0);
        if (!m_window.isEmpty())
            xdotool({ QStringLiteral("windowfocus"), QStringLiteral("--sync"), m_window });
    }
    bool isReady() const { return m_ready && !m_window.isEmpty(); }
    QString xdotool(const QStringList &arguments) const
    {
        QProcess tool;
        tool.setProcessEnvironment(programEnvironment(m_display));
        tool.start(QStringLiteral("xdotool"), arguments);
        tool.waitForFinished(10000);
        return QString::fromUtf8(tool.readAllStandardOutput());
    }
    // Moves the pointer to view pixel (x, y) (origin top left).
    void moveTo(int x, int y) const
    {
        xdotool({ QStringLiteral("mousemove"), QStringLiteral("--window"), m_window, QString::number(x),
            QString::number(y) });
    }
    void settle() const { QThread::msleep(800); } // motion end, full repaint, marking
    // Closes the window; returns the exit status and keeps standard error.
    int close()
    {
        xdotool({ QStringLiteral("key"), QStringLiteral("ctrl+q") });
        if (!m_process.waitForFinished(20000)) {
            m_process.kill();
            m_process.waitForFinished();
            return -1;
        }
        m_err = QString::fromUtf8(m_process.readAllStandardError());
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -2;
    }
    const QString &err() const { return m_err; }

private:
    QString m_display;
    QProcess m_process;
    QByteArray m_out;
    QString m_err;
    QString m_window;
    bool m_ready = false;
};

int difference(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
}

class GcadView : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            GTEST_SKIP() << "Xvfb or xdotool is missing (./dev setup installs them)";
        display = std::make_unique<VirtualDisplay>();
        ASSERT_FALSE(display->name().isEmpty()) << "Xvfb did not start";
        mesh = folder.write(QStringLiteral("box.stl"), boxStl());
        patch = folder.write(QStringLiteral("patch.xyz"), pointPatchXyz());
    }

    // The view as shown when the session closed.
    QImage session(
        const QString &name, const std::function<void(Viewer &)> &actions, const QStringList &extraFiles = {})
    {
        const QString shot = folder.path(name + QStringLiteral(".png"));
        Viewer viewer(display->name(), QStringList { mesh, patch } + extraFiles, shot);
        EXPECT_TRUE(viewer.isReady()) << name.toStdString();
        if (!viewer.isReady())
            return {};
        actions(viewer);
        EXPECT_EQ(viewer.close(), 0) << viewer.err().toStdString();
        lastErr = viewer.err();
        return QImage(shot).convertToFormat(QImage::Format_RGB32);
    }

    TestFolder folder;
    std::unique_ptr<VirtualDisplay> display;
    QString mesh;
    QString patch; // marking shows on the point set (meshes show their vertex colours)
    QString lastErr;
};

TEST_F(GcadView, DragTurnsHoverAndClickShowTheirColoursAtTheMouseSWritesASnapshotAndABadFileLeavesTheRestOpen)
{
    // Untouched, with a file that does not exist beside the mesh: reported, the mesh shown.
    const QImage still = session(QStringLiteral("still"), [](Viewer &viewer) { viewer.moveTo(2, 2); },
        { folder.path(QStringLiteral("missing.stl")) });
    ASSERT_EQ(still.size(), QSize(W, H));
    EXPECT_TRUE(lastErr.contains(QStringLiteral("missing.stl"))) << lastErr.toStdString();
    const QRgb background = still.pixel(2, 2);
    const QRgb centre = still.pixel(W / 2, H / 2);
    ASSERT_GT(difference(centre, background), 60) << "the points cover the centre";
    // Grey shading: no channel stands out.
    EXPECT_LT(std::abs(qRed(centre) - qBlue(centre)), 30);

    // A drag across turns the box: its outline moves.
    const QImage turned = session(QStringLiteral("turned"), [](Viewer &viewer) {
        viewer.moveTo(W / 2, H / 2);
        viewer.xdotool({ QStringLiteral("mousedown"), QStringLiteral("1") });
        for (int step = 1; step <= 8; ++step)
            viewer.moveTo(W / 2 + 10 * step, H / 2 + 6 * step);
        viewer.xdotool({ QStringLiteral("mouseup"), QStringLiteral("1") });
        viewer.moveTo(2, 2);
        viewer.settle();
    });
    ASSERT_EQ(turned.size(), QSize(W, H));
    int changed = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            changed += difference(still.pixel(x, y), turned.pixel(x, y)) > 60;
    EXPECT_GT(changed, W * H / 20);

    // The mouse resting on the points lays the translucent highlight over them: a fifth of
    // white by default ...
    const QImage hovered = session(QStringLiteral("hovered"), [](Viewer &viewer) {
        viewer.moveTo(W / 2, H / 2);
        viewer.settle();
    });
    ASSERT_EQ(hovered.size(), QSize(W, H));
    const QRgb hover = hovered.pixel(W / 2, H / 2);
    EXPECT_NEAR(qRed(hover), qRed(centre) * 0.8 + 51, 4) << QColor(hover).name().toStdString();
    EXPECT_NEAR(qBlue(hover), qBlue(centre) * 0.8 + 51, 4) << QColor(hover).name().toStdString();

    // ... a click in the marking colour (orange), which stays when the mouse leaves. S writes
    // a snapshot next to the first file, its longer side as --snapshot asks.
    const QString snapshot = folder.path(QStringLiteral("box-snapshot.png"));
    ASSERT_FALSE(QFile::exists(snapshot));
    const QImage clicked = session(QStringLiteral("clicked"), [&snapshot](Viewer &viewer) {
        viewer.moveTo(W / 2, H / 2);
        viewer.settle();
        viewer.xdotool({ QStringLiteral("click"), QStringLiteral("1") });
        viewer.settle();
        viewer.moveTo(2, 2);
        viewer.settle();
        viewer.xdotool({ QStringLiteral("key"), QStringLiteral("s") });
        waitFor([&snapshot] { return QFile::exists(snapshot); }, 20000);
        viewer.settle();
    });
    EXPECT_EQ(QImage(snapshot).size(), QSize(1000, 1000 * H / W));
    ASSERT_EQ(clicked.size(), QSize(W, H));
    const QRgb mark = clicked.pixel(W / 2, H / 2);
    EXPECT_GT(qRed(mark) - qBlue(mark), 60) << QColor(mark).name().toStdString();
    EXPECT_GT(qRed(mark), qGreen(mark)) << QColor(mark).name().toStdString();
}

// The picture gcad render draws of the test's files with extra options, at the viewer's size.
QImage renderPicture(const QString &output, const QStringList &files, const QStringList &options)
{
    QProcess process;
    process.setProcessEnvironment(programEnvironment(QString()));
    process.start(QStringLiteral(GCAD_PROGRAM),
        QStringList { QStringLiteral("render"), QStringLiteral("-o"), output, QStringLiteral("--size"),
            QStringLiteral("%1x%2").arg(W).arg(H) }
            + options + files);
    process.waitForFinished(60000);
    return QImage(output).convertToFormat(QImage::Format_RGB32);
}

TEST_F(GcadView, AClickOnTheCornerCrossXAxisTurnsTheViewToTheXView)
{
    // Where the x axis of the corner cross lies in the iso view: its reddest pixels.
    const QStringList files { mesh, patch };
    const QImage iso = renderPicture(folder.path(QStringLiteral("iso.png")), files,
        { QStringLiteral("--axes"), QStringLiteral("corner") });
    ASSERT_EQ(iso.size(), QSize(W, H));
    QPoint axis;
    int best = 0;
    for (int y = H - 120; y < H; ++y) {
        for (int x = 0; x < 120; ++x) {
            const QRgb p = iso.pixel(x, y);
            const int red = qRed(p) - std::max(qGreen(p), qBlue(p));
            // Away from the origin (60, 60 from the lower left), where the other axes meet it.
            if (red > best && std::hypot(x - 60, (H - 1 - y) - 60) > 25) {
                best = red;
                axis = QPoint(x, y);
            }
        }
    }
    ASSERT_GT(best, 80) << "no x axis in the corner";

    const QImage turned = session(QStringLiteral("axis-click"), [&axis](Viewer &viewer) {
        viewer.moveTo(axis.x(), axis.y());
        viewer.settle();
        viewer.xdotool({ QStringLiteral("click"), QStringLiteral("1") });
        viewer.settle();
        viewer.moveTo(W - 2, 2); // off the cross and the elements: nothing highlighted
        viewer.settle();
    });
    const QImage xView = renderPicture(folder.path(QStringLiteral("x.png")), files,
        { QStringLiteral("--axes"), QStringLiteral("corner"), QStringLiteral("--view"),
            QStringLiteral("x+") });
    ASSERT_EQ(turned.size(), QSize(W, H));
    ASSERT_EQ(xView.size(), QSize(W, H));
    int differing = 0, fromIso = 0;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            differing += difference(turned.pixel(x, y), xView.pixel(x, y)) > 60;
            fromIso += difference(iso.pixel(x, y), xView.pixel(x, y)) > 60;
        }
    }
    EXPECT_GT(fromIso, W * H / 20) << "the x view must differ from the iso view";
    EXPECT_LT(differing, W * H / 200);
}

TEST(GcadViewDisplay, WithoutADisplayTheViewerSaysWhichIsMissingAndExitsWith2)
{
    TestFolder folder;
    const QString mesh = folder.write(QStringLiteral("box.stl"), boxStl());
    struct Case
    {
        QString display;
        QString message;
    };
    for (const Case &c :
        { Case { QString(), QStringLiteral("gcad: error: view: no display: DISPLAY is not set\n") },
            Case { QStringLiteral(":7777"),
                QStringLiteral("gcad: error: view: cannot open display ':7777'\n") } }) {
        QProcess process;
        process.setProcessEnvironment(programEnvironment(c.display));
        process.start(QStringLiteral(GCAD_PROGRAM), { QStringLiteral("view"), mesh });
        ASSERT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 2);
        EXPECT_EQ(QString::fromUtf8(process.readAllStandardError()), c.message);
    }
}

} // namespace
