// Start-up of the editor on a full-size directory: from process start to the main window
// painted with every catalogue listed, and the memory the process holds (RSS) at that moment.
// The parent writes a full demo directory, points a private settings file at it, then starts
// itself as the editor seven times (the file cache warm after the first) and times each start from QProcess::start to the child's line saying it has painted.
// Usage: bench_startup [DATADIR]; without one, a full demo directory is generated first.
#include "demodata.h"
#include "dialogs.h"
#include "mainwindow.h"
#include "procstatus.h"
#include "uodir.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPixmap>
#include <QProcess>
#include <QSettings>
#include <QSplashScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace qm;

namespace {

// "VmRSS:" or "VmHWM:" of this process in MB.
double memoryMb(const char* field)
{
    const qint64 kb = statusKb(field);
    return kb < 0 ? -1 : kb / 1024.0;
}

class SilentDialogs : public DialogProvider {
public:
    void warning(QWidget*, const QString&, const QString&) override {}
    void information(QWidget*, const QString&, const QString&) override {}
    void critical(QWidget*, const QString&, const QString&) override {}
};

// Rows of every list or grid in the window, whatever kind of view shows them.
int listedRows(QWidget* window)
{
    int rows = 0;
    for (QAbstractItemView* view : window->findChildren<QAbstractItemView*>())
        if (view->model())
            rows += view->model()->rowCount();
    return rows;
}

// The editor as main.cpp starts it; prints "painted RSS_MB PEAK_MB ROWS" after the main
// window's first paint, once the events of that paint are handled, and ends.
int runEditor(int argc, char** argv)
{
    QApplication app(argc, argv);
    SilentDialogs silent;
    Dialogs::set(&silent);
    auto* splash = new QSplashScreen(QPixmap(QStringLiteral(":/images/qm.png")));
    splash->show();
    mainwindow w;
    struct PaintWatch : QObject {
        QWidget* window = nullptr;
        bool seen = false;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (!seen && event->type() == QEvent::Paint && watched->isWidgetType()
                && static_cast<QWidget*>(watched)->window() == window) {
                seen = true;
                QTimer::singleShot(0, [this] {
                    std::printf("painted %.1f %.1f %d\n", memoryMb("VmRSS:"), memoryMb("VmHWM:"), listedRows(window));
                    std::fflush(stdout);
                    // The paint may come before app.exec() (the splash waits for the window),
                    // where quit() would be lost; the figures are taken, so end at once.
                    std::_Exit(0);
                });
            }
            return false;
        }
    } watch;
    watch.window = &w;
    app.installEventFilter(&watch);
    w.show();
    splash->finish(&w);
    delete splash;
    return app.exec();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    if (argc > 1 && qstrcmp(argv[1], "--editor") == 0)
        return runEditor(argc, argv);

    QCoreApplication app(argc, argv);
    QTemporaryDir temp, settings;
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temp.path();
    if (argc <= 1) {
        QString error;
        DemoSummary s;
        if (!writeDemoDirectory(dir, true, false, &error, &s)) {
            std::fprintf(stderr, "bench_startup: %s\n", qPrintable(error));
            return 2;
        }
    }
    // The child finds its settings where XDG_CONFIG_HOME says, as every Qt program does.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    writeUODir(dir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), settings.path());

    QVector<double> ms, rss;
    double peak = 0;
    int rows = 0;
    for (int run = 0; run < 7; ++run) {
        QProcess editor;
        editor.setProcessEnvironment(env);
        editor.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer t;
        t.start();
        editor.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--editor") });
        QByteArray line;
        while (!line.contains('\n') && editor.waitForReadyRead(60000))
            line += editor.readAllStandardOutput();
        const double elapsed = t.nsecsElapsed() / 1e6;
        if (!editor.waitForFinished(10000))
            editor.kill();
        const QList<QByteArray> fields = line.trimmed().split(' ');
        if (fields.size() != 4 || fields[0] != "painted") {
            std::fprintf(stderr, "bench_startup: the editor said '%s'\n", line.constData());
            return 2;
        }
        ms << elapsed;
        rss << fields[1].toDouble();
        peak = std::max(peak, fields[2].toDouble());
        rows = fields[3].toInt();
    }
    std::sort(ms.begin(), ms.end());
    std::sort(rss.begin(), rss.end());
    std::printf("%d rows listed in %s\n", rows, qPrintable(dir));
    std::printf("process start to main window painted: median %.0f ms, min %.0f ms, max %.0f ms over %d runs "
                "(target: under 150)\n",
                ms[ms.size() / 2], ms.first(), ms.last(), int(ms.size()));
    std::printf("memory then: RSS median %.1f MB (peak %.1f MB) (target: under 80)\n", rss[rss.size() / 2], peak);
    return 0;
}
