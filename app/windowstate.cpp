#include "windowstate.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QTabWidget>

namespace {

const QString kGeometry = QStringLiteral("Window/Geometry");
const QString kSplitter = QStringLiteral("Window/Splitter");
const QString kTab = QStringLiteral("Window/Tab");

// The same place as the data directory setting.
QSettings programSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brindlewood"));
}

} // namespace

void restoreWindowState(QMainWindow* window, QSplitter* splitter, QTabWidget* tabs)
{
    const QSettings settings = programSettings();
    if (!window->restoreGeometry(settings.value(kGeometry).toByteArray())) {
        const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
        if (screen) {
            const QRect room = screen->availableGeometry();
            // Never smaller than the size the window always had on small screens.
            const QSize size = (room.size() * 0.8)
                                   .expandedTo(QSize(778, 588))
                                   .expandedTo(window->minimumSizeHint())
                                   .boundedTo(room.size());
            window->resize(size);
            window->move(room.center() - QPoint(size.width() / 2, size.height() / 2));
        }
    }
    if (!splitter->restoreState(settings.value(kSplitter).toByteArray())) {
        const int width = window->width();
        splitter->setSizes({ width / 4, width - width / 4 });
    }
    const int tab = settings.value(kTab, 0).toInt();
    if (tab >= 0 && tab < tabs->count())
        tabs->setCurrentIndex(tab);
}

void saveWindowState(const QMainWindow* window, const QSplitter* splitter, const QTabWidget* tabs)
{
    QSettings settings = programSettings();
    settings.setValue(kGeometry, window->saveGeometry());
    settings.setValue(kSplitter, splitter->saveState());
    settings.setValue(kTab, tabs->currentIndex());
}
